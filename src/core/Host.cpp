#include "core/Host.h"

#include "core/Platform.h"

namespace launcher {

Host Host::system()
{
    return {
        .archiveTool = platform::archiveTool(),
        .downloadTool = platform::downloadTool(),
        .x86_64Check = platform::x86_64Check(),
        .availableSpace = platform::availableSpace,
        .exchangePaths = platform::exchangePaths,
        .renamePath = [](const std::filesystem::path& from,
                         const std::filesystem::path& to) { std::filesystem::rename(from, to); },
        .flushTree = platform::flushTree,
    };
}

} // namespace launcher
