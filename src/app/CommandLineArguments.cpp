#include "app/CommandLineArguments.h"

#include <algorithm>

namespace launcher {

bool CommandLineArguments::has(std::string_view word) const
{
    return std::find(m_arguments.begin(), m_arguments.end(), word) != m_arguments.end();
}

std::optional<std::string> CommandLineArguments::value(std::string_view option) const
{
    const auto found = std::find(m_arguments.begin(), m_arguments.end(), option);
    if (found == m_arguments.end() || std::next(found) == m_arguments.end())
        return std::nullopt;
    return *std::next(found);
}

bool CommandLineArguments::lacksValue(std::string_view option) const
{
    const std::optional<std::string> typed = value(option);
    return typed ? typed->empty() : has(option);
}

std::optional<std::filesystem::path> CommandLineArguments::path(std::string_view option) const
{
    const std::optional<std::string> typed = value(option);
    if (!typed)
        return std::nullopt;
    return std::filesystem::absolute(*typed);
}

} // namespace launcher
