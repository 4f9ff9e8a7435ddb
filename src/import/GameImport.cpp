#include "core/Installer.h"
#include "core/SetupFailure.h"
namespace launcher {
void Installer::importGame(const std::filesystem::path&) const { throw SetupFailure("Game import is not built yet."); }
} // namespace launcher
