#include "core/Installer.h"

#include "app/InstallationParts.h"
#include "core/InstallLock.h"

namespace launcher {

VerificationReport Installer::verify() const
{
    // Keeps setup, repair and the game away while the parts are read; a root
    // without the lock file has no launcher in it to keep away.
    const std::unique_ptr<InstallLock> lock = InstallLock::takeExisting(layout().lockFile());
    return checkInstallation(*this);
}

} // namespace launcher
