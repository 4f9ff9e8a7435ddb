#pragma once
// The command line's grammar, written once. Each row is a command: its word,
// the options it requires, the options and switches it allows, and a summary.
// The parser, the usage text, --help and the entry's list of commands are all
// made from this table, so they cannot disagree.
//
//   --cli COMMAND [VALUE] [OPTION VALUE]... [SWITCH]...
//
// Exactly one command; each option or switch at most once, and only one that
// the command allows; a value is the next word, neither empty nor one of the
// program's own words.

#include <string>
#include <string_view>
#include <vector>

namespace launcher::cli {

struct CommandContext;

// A word of the command line other than a command: an option takes the next
// word as its value, a switch stands alone.
struct OptionWord {
    std::string_view word;
    // What its value is, as the usage text names it ("PATH"); empty for a switch.
    std::string_view value;
};

struct CommandRow {
    std::string_view word;
    // The value the command word itself takes ("NAME"), or empty.
    std::string_view value;
    // Options the command cannot run without, in the order the usage names them.
    std::vector<std::string_view> required;
    // Options and switches it takes besides, in the order the usage names them.
    std::vector<std::string_view> allowed;
    std::string_view summary;
    // What it prints is its result (a list, a verdict), so that output that
    // cannot be written fails the command. The status lines of long work are
    // not: they may be dropped, and the exit status tells the outcome.
    bool printsResult = false;
    int (*run)(const CommandContext& context) = nullptr;
    // What the command says when a signal stops it (see StoppableWork.h);
    // empty for the engine's own sentence, or where no signal stops it so.
    std::string_view stopped;
};

// Every option and switch the command line knows.
const std::vector<OptionWord>& optionWords();
// Every command, in the order the usage lists them.
const std::vector<CommandRow>& commandTable();

// The row of a command word, the option or switch of a word; nullptr for any other word.
const CommandRow* findCommand(std::string_view word);
const OptionWord* findOption(std::string_view word);

// "--cli --install --game PATH --audio PATH [--home PATH] [--cache PATH]".
std::string synopsis(const CommandRow& command);

// The usage text: the line it has always started with, then one line a
// command with its summary.
std::string usageText();

} // namespace launcher::cli
