#include "core/Installer.h"
#include "core/SetupFailure.h"
namespace launcher {
std::filesystem::path Installer::obtain(const RuntimeAsset&, const std::optional<std::filesystem::path>&) const { throw SetupFailure("Downloads are not built yet."); }
} // namespace launcher
