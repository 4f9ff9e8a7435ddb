#include "core/Installer.h"

#include "core/FileCopy.h"
#include "core/Posix.h"
#include "core/SetupFailure.h"
#include "core/StagingFolder.h"

#include <array>
#include <string>

namespace launcher {
namespace {

struct Component {
    std::string_view cabinet;
    std::string_view library;
};

// Names exactly as the game's DirectX installer stores them, letter case included.
constexpr std::array<Component, 3> kComponents{{
    {"OCT2006_d3dx9_31_x86.cab", "d3dx9_31.dll"},
    {"Jun2010_d3dx9_43_x86.cab", "d3dx9_43.dll"},
    {"Jun2010_D3DCompiler_43_x86.cab", "D3DCompiler_43.dll"},
}};

} // namespace

void Installer::installDirectX() const
{
    namespace fs = std::filesystem;
    report("Preparing the game's graphics libraries");
    const fs::path installer = game() / "temp/directx.exe";
    const StagingFolder staging(root(), "DirectX-staging-");
    const ArchiveTool tool = archiveTool();

    for (const auto& [cabinet, library] : kComponents) {
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
