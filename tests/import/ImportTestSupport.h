#pragma once

#include "core/Installation.h"

#include <filesystem>
#include <string>
#include <vector>

namespace launcher::testing {

// An installation for tests on the test machine, with the real archive tool.
Installation testInstallation(const std::filesystem::path& root);

// A private copy of the fixture "game/Veyra 2" (or another fixture folder) to change.
std::filesystem::path copyOfFixture(const std::string& relative, const std::filesystem::path& to);

// Names of the staging folders ("Game-staging-", "DirectX-staging-") directly under the root.
std::vector<std::string> stagingFolders(const std::filesystem::path& root);

// Every path below the folder, relative to it, sorted; links are not followed.
std::vector<std::string> treeListing(const std::filesystem::path& folder);

// The process runner's message for a run of the archive tool that exits with 1.
std::string archiveToolFailure();

} // namespace launcher::testing
