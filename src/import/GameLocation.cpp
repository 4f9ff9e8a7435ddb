#include "core/Installer.h"
#include "core/SetupFailure.h"
namespace launcher {
std::optional<std::filesystem::path> Installer::locateGame(const std::filesystem::path&) const { throw SetupFailure("Game location is not built yet."); }
void Installer::validateGame(const std::filesystem::path&) const { throw SetupFailure("Game validation is not built yet."); }
} // namespace launcher
