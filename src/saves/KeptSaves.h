#pragma once
// The saves an earlier installation left behind, which a new setup offers back:
// an uninstall that kept the saves leaves them in a kept snapshot, and the new
// installation starts without them.

#include "core/Installation.h"
#include "saves/SaveSnapshot.h"

#include <optional>
#include <string>

namespace launcher {

// The newest snapshot marked kept, or nothing. Counts the snapshots' files
// (saveSnapshots), so it blocks; call it off the GUI thread.
std::optional<SaveSnapshot> newestKeptSnapshot(const Installation& installation);

// The command line's one line after a setup that found one: how to put it back.
std::string keptSavesHint(const SaveSnapshot& snapshot);

} // namespace launcher
