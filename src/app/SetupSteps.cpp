#include "app/SetupSteps.h"

#include "app/AbandonedStaging.h"
#include "core/AtomicFile.h"
#include "core/InstallationRecord.h"
#include "core/LogRotation.h"
#include "runtime/RuntimeUpdate.h"

namespace launcher {

void beginInstallationWork(const Installer& installer, const std::vector<std::filesystem::path>& selections)
{
    rotateLog(installer.log());
    removeAbandonedStagingFolders(installer.root(), selections);
    settleRuntimeUpdate(installer);
}

void recordInstallation(const Installer& installer)
{
    installer.throwIfStopped();
    const InstallationRecord installation{
        .format = InstallationRecord::kFormat,
        .launcherVersion = installer.constants().version,
        .engine = installer.constants().engine.name,
        .installedAt = std::chrono::system_clock::now(),
    };
    writeFileAtomically(installer.record(), installation.encode());
    installer.report("Ready to play");
}

} // namespace launcher
