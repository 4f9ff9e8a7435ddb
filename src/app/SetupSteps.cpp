#include "app/SetupSteps.h"

#include "app/AbandonedStaging.h"
#include "core/AtomicFile.h"
#include "core/InstallationRecord.h"
#include "core/LogRotation.h"
#include "runtime/RuntimeUpdate.h"

namespace launcher {

void beginInstallationWork(const Installation& installation, const std::vector<std::filesystem::path>& selections)
{
    rotateLog(installation.log());
    removeAbandonedStagingFolders(installation.root(), selections);
    settleRuntimeUpdate(installation);
}

void recordInstallation(const Installation& installation)
{
    installation.throwIfStopped();
    const InstallationRecord record{
        .format = InstallationRecord::kFormat,
        .launcherVersion = installation.constants().version,
        .engine = installation.constants().engine.name,
        .installedAt = std::chrono::system_clock::now(),
    };
    writeFileAtomically(installation.record(), record.encode());
    installation.report("Ready to play");
}

} // namespace launcher
