#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace launcher {

// Whether the name is one of a setup step's staging folders: a staging prefix
// and a 36-character upper-case UUID, nothing else.
bool isSetupStagingName(std::string_view name);

// Removes the staging folders that a killed setup left directly under the root;
// an import's can hold gigabytes. Only names of the exact form a setup makes
// (a staging prefix and a 36-character upper-case UUID) count, so a player's own
// "Game-staging-my saves backup" stays, and so does any folder that holds one of
// `selections`, the files this setup is about to read. Call it while holding the
// install lock: then no staging folder found belongs to a running setup.
void removeAbandonedStagingFolders(const std::filesystem::path& root,
                                   const std::vector<std::filesystem::path>& selections);

} // namespace launcher
