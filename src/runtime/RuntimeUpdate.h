#pragma once
// Runtime updates: an installation recorded with another runtime than the one
// this launcher pins is installed but outdated; it plays on its runtime until a
// repair replaces it. The replacement keeps the old runtime aside
// ("Runtime-previous") until the new one has started, so that a stopped, killed
// or failed update leaves the old one to play on.
//
//   if (runtimeUpdateAvailable(installer)) ... tell the player that an update is available ...
//   restoreRuntimeSetAside(installer);   // under the install lock, before the runtime is used

#include "core/Installer.h"

namespace launcher {

// Whether the installation record names another runtime than the launcher's
// pins. False when there is no readable record. Reads only; never throws.
bool runtimeUpdateAvailable(const Installer& installer) noexcept;

// Whether an update left the runtime it replaced aside, unfinished.
bool hasRuntimeSetAside(const Installer& installer);

// Puts back the runtime that an unfinished update left aside, replacing what
// stands in "Runtime": the aside folder exists only until the new runtime has
// started. Does nothing without one. Call it holding the install lock.
void restoreRuntimeSetAside(const Installer& installer);

} // namespace launcher
