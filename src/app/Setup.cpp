#include "core/Installer.h"

#include "app/IncompleteInstallation.h"
#include "app/SetupSteps.h"
#include "core/AtomicFile.h"
#include "core/InstallationRecord.h"
#include "core/InstallLock.h"
#include "core/StagingFolder.h"

#include <array>
#include <string_view>
#include <system_error>

namespace launcher {

void removeAbandonedStagingFolders(const std::filesystem::path& root)
{
    static constexpr std::array<std::string_view, 3> kPrefixes{"Runtime-staging-", "Game-staging-", "DirectX-staging-"};
    std::error_code error;
    for (std::filesystem::directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        for (const auto prefix : kPrefixes)
            if (name.starts_with(prefix))
                removeTreeQuietly(it->path());
    }
}

void recordInstallation(const Installer& installer)
{
    const InstallationRecord installation{
        .format = InstallationRecord::kFormat,
        .launcherVersion = installer.constants().version,
        .engine = installer.constants().engine.name,
        .installedAt = std::chrono::system_clock::now(),
    };
    writeFileAtomically(installer.record(), installation.encode());
    installer.report("Ready to play");
}

void Installer::install(const std::filesystem::path& gameSource, const std::filesystem::path& audio,
                        const std::optional<std::filesystem::path>& cache) const
{
    makeDirectory(root());
    const InstallLock lock(layout().lockFile());

    if (hasRecord())
        throwRefusal(*this, "An installation already exists. Its game files and saves were left untouched.");
    removeAbandonedStagingFolders(root());

    preflight();
    report("Verifying your audio package");
    const auto codec = prepareCodec(audio);
    installRuntime(cache);
    importGame(gameSource);
    installDirectX();
    configurePrefix(codec);
    recordInstallation(*this);
}

} // namespace launcher
