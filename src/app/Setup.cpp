#include "core/Installer.h"

#include "app/AbandonedStaging.h"
#include "app/ForeignRoot.h"
#include "app/SelectionCheck.h"
#include "core/AtomicFile.h"
#include "core/InstallationRecord.h"
#include "core/InstallLock.h"
#include "core/LogRotation.h"
#include "core/SetupFailure.h"

#include <system_error>
#include <vector>

namespace launcher {

void Installer::install(const std::filesystem::path& gameSource, const std::filesystem::path& audio,
                        const std::optional<std::filesystem::path>& cache) const
{
    refuseForeignRoot(root());
    makeDirectory(root());
    const InstallLock lock(layout().lockFile());

    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(record(), error)))
        throw SetupFailure("An installation already exists. Its game files and saves were left untouched.");
    checkSelections(gameSource, audio, cache);
    rotateLog(layout().log());
    std::vector<std::filesystem::path> selections{gameSource, audio};
    if (cache)
        selections.push_back(*cache);
    removeAbandonedStagingFolders(root(), selections);

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
