#include "core/Installer.h"

#include "core/InstallationRecord.h"
#include "core/InstallLock.h"
#include "core/SetupFailure.h"
#include "core/StagingFolder.h"
#include "core/AtomicFile.h"

#include <string_view>
#include <system_error>

namespace launcher {
namespace {

// Setup holds the install lock, so a staging folder found now belongs to a run
// that was killed; an import's can hold gigabytes.
void removeAbandonedStagingFolders(const std::filesystem::path& root)
{
    std::error_code error;
    for (std::filesystem::directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        for (const auto prefix : Layout::kStagingPrefixes)
            if (name.starts_with(prefix))
                removeTreeQuietly(it->path());
    }
}

} // namespace

void Installer::install(const std::filesystem::path& gameSource, const std::filesystem::path& audio,
                        const std::optional<std::filesystem::path>& cache) const
{
    makeDirectory(root());
    const InstallLock lock(layout().lockFile());

    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(record(), error)))
        throw SetupFailure("An installation already exists. Its game files and saves were left untouched.");
    removeAbandonedStagingFolders(root());

    preflight();
    report("Verifying your audio package");
    const auto codec = prepareCodec(audio);
    installRuntime(cache);
    importGame(gameSource);
    installDirectX();
    configurePrefix(codec);

    const InstallationRecord installation{
        .format = InstallationRecord::kFormat,
        .launcherVersion = constants().version,
        .engine = constants().engine.name,
        .installedAt = std::chrono::system_clock::now(),
    };
    writeFileAtomically(record(), installation.encode());
    report("Ready to play");
}

} // namespace launcher
