#include "runtime/RuntimeUpdate.h"

#include "core/InstallationRecord.h"
#include "core/StagingFolder.h"

#include <system_error>

namespace launcher {

namespace fs = std::filesystem;

namespace {

bool isFolder(const fs::path& path)
{
    std::error_code error;
    return fs::is_directory(fs::symlink_status(path, error));
}

} // namespace

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

bool hasUnsettledRuntimeUpdate(const Installer& installer)
{
    return isFolder(installer.layout().runtimeAside()) || isFolder(installer.layout().runtimeSuperseded());
}

void settleRuntimeUpdate(const Installer& installer)
{
    // A superseded runtime may be half removed; it never comes back.
    if (isFolder(installer.layout().runtimeSuperseded()))
        removeTree(installer.layout().runtimeSuperseded());
    if (!isFolder(installer.layout().runtimeAside()))
        return;
    removeTree(installer.runtime());
    fs::rename(installer.layout().runtimeAside(), installer.runtime());
}

void dropRuntimeSetAside(const Installer& installer)
{
    fs::rename(installer.layout().runtimeAside(), installer.layout().runtimeSuperseded());
    removeTree(installer.layout().runtimeSuperseded());
}

} // namespace launcher
