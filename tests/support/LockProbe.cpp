#include "support/LockProbe.h"

#include "core/InstallLock.h"
#include "core/SetupFailure.h"

namespace launcher::testing {

bool lockIsFree(const std::filesystem::path& root)
{
    try {
        const InstallLock lock(root / "launcher.lock");
        return true;
    } catch (const SetupFailure&) {
        return false;
    }
}

} // namespace launcher::testing
