#pragma once
// One command line, parsed strictly by the command table: a word that the
// table does not allow where it stands is never ignored, guessed at or taken
// as a value, since one mistyped word must not turn an uninstall that keeps
// the saves into one that removes them.
//
//   const CommandLineArguments arguments = CommandLineArguments::parse(words);  // throws NotUnderstood
//   arguments.command().run(context);

#include "cli/CommandTable.h"

#include <exception>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace launcher::cli {

// A command line outside the grammar. The usage text is shown, then, unless
// nothing but "--cli" was given, the line "Not understood: " + what().
class NotUnderstood final : public std::exception {
public:
    // `argument` as it was typed; `reason` may be empty.
    NotUnderstood(std::string argument, std::string reason);
    // "--keep-save", "--home (given twice)"; empty when there was nothing to name.
    const char* what() const noexcept override { return m_text.c_str(); }

private:
    std::string m_text;
};

class CommandLineArguments final {
public:
    // The whole argument list, program path first, holding "--cli".
    static CommandLineArguments parse(const std::vector<std::string>& words);

    const CommandRow& command() const { return *m_command; }
    // Whether a switch was given.
    bool has(std::string_view word) const { return m_switches.contains(word); }
    // The value of an option, or of the command itself under its own word.
    std::optional<std::string> value(std::string_view word) const;
    // The value as a path, taken relative to the current folder.
    std::optional<std::filesystem::path> path(std::string_view word) const;

private:
    const CommandRow* m_command = nullptr;
    std::map<std::string_view, std::string> m_values;
    std::set<std::string_view> m_switches;
};

} // namespace launcher::cli
