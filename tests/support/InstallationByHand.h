#pragma once

#include <filesystem>

namespace launcher::testing {

// Makes the root hold a complete installation without running setup: the record,
// the lock file and the four key files, with the stand-in wine program as the runtime's wine.
void buildInstallationByHand(const std::filesystem::path& root);

} // namespace launcher::testing
