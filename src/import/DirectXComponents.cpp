#include "import/DirectXComponents.h"

#include "core/Installation.h"
#include "core/FileCopy.h"
#include "core/Posix.h"
#include "core/SetupFailure.h"
#include "core/StagingFolder.h"

#include <string>

namespace launcher {

void installDirectX(const Installation& installation)
{
    namespace fs = std::filesystem;
    installation.report("Preparing the game's graphics libraries");
    const fs::path directXSetup = installation.game() / "temp/directx.exe";
    const StagingFolder staging(installation.root(), Layout::kDirectXStaging);
    const ArchiveTool tool = installation.archiveTool();

    for (const auto& [cabinet, library] : kDirectXComponents) {
        if (existsQuietly(installation.game() / library))
            continue;
        if (!existsQuietly(directXSetup))
            throw SetupFailure("The game is missing " + std::string(library) +
                               " and its bundled DirectX installer. Import the complete installer 2.1 archive.");
        tool.extractMember(directXSetup, staging.path(), std::string(cabinet));
        tool.extractMember(staging.path() / cabinet, staging.path(), std::string(library));
        // Refuses a link in place of the library, and leaves no partial library
        // behind that a later run would take for a finished one.
        copyFile(staging.path() / library, installation.game() / library);
    }
}

} // namespace launcher
