#pragma once
// What every start that touches the saves does first (a launch, a restore, an
// uninstall): it finishes a restore that was interrupted (see SavesSwap.h).
// The live saves, as they are, go into a kept snapshot before a restore is
// finished forward, so that what the player wrote since the interruption is
// never lost. Called with the install lock held. Blocks the caller.

#include "core/Host.h"
#include "core/Layout.h"

namespace launcher {

// Throws, leaving the interrupted restore as it is, when a journal is damaged,
// the snapshot cannot be taken or a move cannot be made.
void recoverSaves(const Layout& layout, const Host& host);

} // namespace launcher
