#include "runtime/RuntimeUpdate.h"

#include "core/InstallationRecord.h"
#include "core/StagingFolder.h"

#include <system_error>

namespace launcher {

namespace fs = std::filesystem;

bool runtimeUpdateAvailable(const Installer& installer) noexcept
{
    try {
        return installer.hasRecord()
            && InstallationRecord::read(installer.record()).engine != installer.constants().engine.name;
    } catch (const std::exception&) {
        // An unreadable record is verify's finding, not news of an update.
        return false;
    }
}

bool hasRuntimeSetAside(const Installer& installer)
{
    std::error_code error;
    return fs::is_directory(fs::symlink_status(installer.layout().runtimeAside(), error));
}

void restoreRuntimeSetAside(const Installer& installer)
{
    if (!hasRuntimeSetAside(installer))
        return;
    removeTree(installer.runtime());
    fs::rename(installer.layout().runtimeAside(), installer.runtime());
}

} // namespace launcher
