#pragma once
// The snapshot of the saves that every launch takes, after the install lock and
// before the game starts.

#include "core/Layout.h"

#include <optional>
#include <string>

namespace launcher {

// Takes the launch's snapshot (see SaveSnapshots). A failure must not keep the
// player from playing, so it is not thrown: its description is returned.
std::optional<std::string> snapshotSavesBeforeLaunch(const Layout& layout);

// The launcher's own line in the game log about a failed snapshot.
std::string snapshotFailureNote(const std::string& failure);

} // namespace launcher
