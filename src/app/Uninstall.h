#pragma once

#include "app/UninstallPlan.h"

namespace launcher {

class Installation;

// What uninstall(keepSaves) would remove and keep now; reads only.
UninstallPlan planUninstall(const Installation& installation, bool keepSaves);

// Takes the lock, snapshots the live saves first when keeping them, removes
// "installed.json" and then the launcher's own folders without following
// links. An absent root is no failure: nothing is removed.
UninstallReport uninstall(const Installation& installation, bool keepSaves);

} // namespace launcher
