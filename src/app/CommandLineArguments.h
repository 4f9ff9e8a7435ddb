#pragma once
// The words of one command line: commands and switches count by their
// presence anywhere, options by the word that follows them.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace launcher {

class CommandLineArguments final {
public:
    // The whole argument list, program path first.
    explicit CommandLineArguments(std::vector<std::string> arguments) : m_arguments(std::move(arguments)) {}

    bool has(std::string_view word) const;
    // The word directly after the first occurrence of the option, whatever it
    // is, even another option; nothing when the option is absent or last.
    std::optional<std::string> value(std::string_view option) const;
    // Whether the option is given without a value: as the last word, or followed by an empty one.
    bool lacksValue(std::string_view option) const;
    // The option's value as a path, taken relative to the current folder.
    std::optional<std::filesystem::path> path(std::string_view option) const;

private:
    std::vector<std::string> m_arguments;
};

} // namespace launcher
