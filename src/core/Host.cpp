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
    };
}

} // namespace launcher
