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

bool runtimeUpdateAvailable(const Installation& installation) noexcept
{
    try {
        return installation.hasRecord()
            && InstallationRecord::read(installation.record()).engine != installation.constants().engine.name;
    } catch (const std::exception&) {
        // An unreadable record is verify's finding, not news of an update.
        return false;
    }
}

bool hasUnsettledRuntimeUpdate(const Installation& installation)
{
    return isFolder(installation.layout().runtimeAside()) || isFolder(installation.layout().runtimeSuperseded());
}

void settleRuntimeUpdate(const Installation& installation)
{
    // A superseded runtime may be half removed; it never comes back.
    if (isFolder(installation.layout().runtimeSuperseded()))
        removeTree(installation.layout().runtimeSuperseded());
    if (!isFolder(installation.layout().runtimeAside()))
        return;
    removeTree(installation.runtime());
    fs::rename(installation.layout().runtimeAside(), installation.runtime());
}

void dropRuntimeSetAside(const Installation& installation)
{
    fs::rename(installation.layout().runtimeAside(), installation.layout().runtimeSuperseded());
    removeTree(installation.layout().runtimeSuperseded());
}

} // namespace launcher
