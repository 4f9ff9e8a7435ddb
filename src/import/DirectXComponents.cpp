#include "import/DirectXComponents.h"

#include "core/Installer.h"
#include "core/FileCopy.h"
#include "core/Posix.h"
#include "core/SetupFailure.h"
#include "core/StagingFolder.h"

#include <string>

namespace launcher {

void Installer::installDirectX() const
{
    namespace fs = std::filesystem;
    report("Preparing the game's graphics libraries");
    const fs::path installer = game() / "temp/directx.exe";
    const StagingFolder staging(root(), Layout::kDirectXStaging);
    const ArchiveTool tool = archiveTool();

    for (const auto& [cabinet, library] : kDirectXComponents) {
        if (existsQuietly(game() / library))
            continue;
        if (!existsQuietly(installer))
            throw SetupFailure("The game is missing " + std::string(library) +
                               " and its bundled DirectX installer. Import the complete installer 2.1 archive.");
        tool.extractMember(installer, staging.path(), std::string(cabinet));
        tool.extractMember(staging.path() / cabinet, staging.path(), std::string(library));
        // Refuses a link in place of the library, and leaves no partial library
        // behind that a later run would take for a finished one.
        copyFile(staging.path() / library, game() / library);
    }
}

} // namespace launcher
