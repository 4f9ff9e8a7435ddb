#include "core/Installer.h"
#include "core/SetupFailure.h"
namespace launcher {
void Installer::installRuntime(const std::optional<std::filesystem::path>&) const { throw SetupFailure("Runtime installation is not built yet."); }
} // namespace launcher
