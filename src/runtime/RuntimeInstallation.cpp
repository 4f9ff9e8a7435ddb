#include "runtime/RuntimeInstallation.h"

#include "core/ExecutableFile.h"
#include "core/Installation.h"
#include "core/PlayerSentences.h"
#include "core/Posix.h"
#include "core/SetupFailure.h"
#include "core/StagingFolder.h"
#include "runtime/RuntimeUpdate.h"
#include "runtime/VerifiedDownload.h"

#include <system_error>

namespace launcher {
namespace {

namespace fs = std::filesystem;

// Where the libraries archive keeps its support libraries.
constexpr const char* kLibrarySource = "Wine Stable.app/Contents/Resources/wine/lib";
constexpr const char* kEngineBundle = "wswine.bundle";
constexpr const char* kLibraryFolder = "lib";

// Copies the "dylib" files found directly in `source`. A library that is a
// symbolic link stays one, so links between sibling libraries keep working;
// folders are skipped whatever their name.
void copyLibraries(const fs::path& source, const fs::path& destination)
{
    for (const fs::directory_entry& entry : fs::directory_iterator(source)) {
        if (entry.path().extension() != ".dylib" || fs::is_directory(entry.symlink_status()))
            continue;
        fs::copy(entry.path(), destination / entry.path().filename(), fs::copy_options::copy_symlinks);
    }
}

} // namespace

void installRuntime(const Installation& installation, const std::optional<fs::path>& cache)
{
    installation.report("Downloading and verifying the compatibility runtime · about 341 MB");
    // Progress counts both archives together, as the status line does.
    const std::uint64_t total =
        installation.constants().engine.expectedSize + installation.constants().libraries.expectedSize;
    const fs::path engine = obtain(installation, installation.constants().engine, cache, {.before = 0, .total = total});
    const fs::path libraries = obtain(installation, installation.constants().libraries, cache,
                                      {.before = installation.constants().engine.expectedSize, .total = total});

    const StagingFolder staging(installation.root(), Layout::kRuntimeStaging);
    installation.report("Unpacking the verified runtime");
    const ArchiveTool tool = installation.archiveTool();
    tool.extract(engine, staging.path());
    tool.extract(libraries, staging.path());

    const fs::path stagedLibraries = staging.path() / kLibraryFolder;
    fs::create_directory(stagedLibraries);
    copyLibraries(staging.path() / kLibrarySource, stagedLibraries);

    if (!isExecutableFile(staging.path() / kEngineBundle / "bin/wine")
        || !existsQuietly(stagedLibraries / kRequiredRuntimeLibrary))
        throw SetupFailure(sentences::kRuntimeIncomplete);

    // The runtime being replaced is renamed aside, not copied, and comes back
    // unless the new one starts; a killed update leaves it aside for the next
    // start to put back. A first setup has none: its new runtime stays.
    settleRuntimeUpdate(installation);
    const bool replacing = presentQuietly(installation.runtime());
    if (replacing)
        fs::rename(installation.runtime(), installation.layout().runtimeAside());
    try {
        installation.makeDirectory(installation.runtime());
        fs::rename(staging.path() / kEngineBundle, installation.runtime() / kEngineBundle);
        fs::rename(stagedLibraries, installation.runtime() / kLibraryFolder);
        installation.wineRuntime().checkVersion();
    } catch (...) {
        try {
            if (replacing)
                settleRuntimeUpdate(installation);
        } catch (...) {
            // Left aside, the old runtime is put back by the next start or repair.
        }
        throw;
    }
    if (replacing)
        dropRuntimeSetAside(installation);
}

} // namespace launcher
