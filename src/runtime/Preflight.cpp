#include "core/Installer.h"
#include "core/SetupFailure.h"
namespace launcher {
void Installer::preflight() const { throw SetupFailure("Preflight checks are not built yet."); }
} // namespace launcher
