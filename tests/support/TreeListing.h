#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace launcher::testing {

// Every entry below the folder by its relative path, links not followed: a
// folder as "folder/", a file as its content, a link as "-> " and its target;
// for telling that a folder the launcher must not touch is as it was.
std::map<std::string, std::string> entriesBelow(const std::filesystem::path& folder);

} // namespace launcher::testing
