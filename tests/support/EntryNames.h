#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace launcher::testing {

// The names in a folder's top level, hidden ones included.
inline std::set<std::string> entryNames(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

} // namespace launcher::testing
