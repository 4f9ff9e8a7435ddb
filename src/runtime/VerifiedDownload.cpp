#include "core/Installer.h"
#include "core/SetupFailure.h"
namespace launcher {
std::string Installer::sha256(const std::filesystem::path&) { throw SetupFailure("Digests are not built yet."); }
std::filesystem::path Installer::obtain(const RuntimeAsset&, const std::optional<std::filesystem::path>&) const { throw SetupFailure("Downloads are not built yet."); }
} // namespace launcher
