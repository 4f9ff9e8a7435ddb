#pragma once

#include <filesystem>
#include <functional>

namespace launcher {

// Visits every entry below `folder`, each folder before its contents, links
// visited as links and never followed. A folder that cannot be read throws
// filesystem_error naming that folder, where the standard iterator names none
// ("cannot increment recursive directory iterator").
void visitEntriesBelow(const std::filesystem::path& folder,
                       const std::function<void(const std::filesystem::directory_entry& entry)>& visit);

} // namespace launcher
