#include "core/Installer.h"
#include "core/SetupFailure.h"
namespace launcher {
void Installer::configurePrefix(const std::filesystem::path&) const { throw SetupFailure("Prefix configuration is not built yet."); }
} // namespace launcher
