#include "cli/CommandLineArguments.h"

#include "cli/TerminalText.h"

#include <algorithm>

namespace launcher::cli {
namespace {

constexpr std::string_view kCli = "--cli";

// A word of the program's own: never a value, so that a forgotten value
// cannot swallow the next option ("--restore-saves --home R").
bool isOwnWord(std::string_view word)
{
    return word == kCli || findCommand(word) != nullptr || findOption(word) != nullptr;
}

} // namespace

NotUnderstood::NotUnderstood(std::string argument, std::string reason)
    : m_text(terminalText(argument) + (reason.empty() ? "" : " (" + reason + ")"))
{
}

CommandLineArguments CommandLineArguments::parse(const std::vector<std::string>& words)
{
    CommandLineArguments parsed;
    std::vector<std::string_view> given;
    bool cli = false;
    const auto takeValue = [&](std::size_t& at, std::string_view word, std::string_view what) {
        if (at + 1 == words.size() || isOwnWord(words[at + 1]))
            throw NotUnderstood(std::string(word), std::string(what) + " is missing");
        if (words[at + 1].empty())
            throw NotUnderstood(std::string(word), std::string(what) + " is empty");
        parsed.m_values.emplace(word, words[++at]);
    };
    for (std::size_t at = 1; at < words.size(); ++at) {
        const std::string& word = words[at];
        if (word == kCli) {
            if (cli)
                throw NotUnderstood(word, "given twice");
            cli = true;
            continue;
        }
        if (std::ranges::find(given, word) != given.end())
            throw NotUnderstood(word, "given twice");
        if (const CommandRow* command = findCommand(word)) {
            if (parsed.m_command != nullptr)
                throw NotUnderstood(word, "one command at a time: " + std::string(parsed.m_command->word) + " is given");
            parsed.m_command = command;
            given.push_back(command->word);
            if (!command->value.empty())
                takeValue(at, command->word, command->value);
        } else if (const OptionWord* option = findOption(word)) {
            given.push_back(option->word);
            if (option->value.empty())
                parsed.m_switches.insert(option->word);
            else
                takeValue(at, option->word, option->value);
        } else {
            throw NotUnderstood(word, "");
        }
    }

    if (parsed.m_command == nullptr) {
        if (given.empty())
            throw NotUnderstood("", "");
        throw NotUnderstood(std::string(given.front()), "no command is given");
    }
    const CommandRow& command = *parsed.m_command;
    for (const std::string_view word : given) {
        if (word != command.word && std::ranges::find(command.required, word) == command.required.end()
            && std::ranges::find(command.allowed, word) == command.allowed.end())
            throw NotUnderstood(std::string(word), "not with " + std::string(command.word));
    }
    for (const std::string_view required : command.required) {
        if (!parsed.m_values.contains(required))
            throw NotUnderstood(std::string(command.word),
                                std::string(required) + " " + std::string(findOption(required)->value) + " is missing");
    }
    return parsed;
}

std::optional<std::string> CommandLineArguments::value(std::string_view word) const
{
    const auto found = m_values.find(word);
    if (found == m_values.end())
        return std::nullopt;
    return found->second;
}

std::optional<std::filesystem::path> CommandLineArguments::path(std::string_view word) const
{
    const std::optional<std::string> typed = value(word);
    if (!typed)
        return std::nullopt;
    return std::filesystem::absolute(*typed);
}

} // namespace launcher::cli
