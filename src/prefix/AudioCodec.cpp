#include "core/Installer.h"
#include "core/SetupFailure.h"
namespace launcher {
std::filesystem::path Installer::prepareCodec(const std::filesystem::path&) const { throw SetupFailure("Audio codec preparation is not built yet."); }
} // namespace launcher
