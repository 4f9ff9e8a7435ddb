#pragma once
// Runtime updates: an installation recorded with another runtime than the one
// this launcher pins is installed but outdated; it plays on its runtime until a
// repair replaces it. The replacement keeps the old runtime aside
// ("Runtime-previous") until the new one has answered, then renames it to
// "Runtime-superseded" before removing it. The one rename records, atomically,
// how far an update got, so that a stopped, killed or failed update leaves one
// whole runtime to play on: the old one before that point, the new one after it.
//
//   if (runtimeUpdateAvailable(installation)) ... tell the player that an update is available ...
//   settleRuntimeUpdate(installation);   // under the install lock, before the runtime is used

#include "core/Installation.h"

namespace launcher {

// Whether the installation record names another runtime than the launcher's
// pins. False when there is no readable record. Reads only; never throws.
bool runtimeUpdateAvailable(const Installation& installation) noexcept;

// Whether an update that did not finish left a runtime aside or superseded.
bool hasUnsettledRuntimeUpdate(const Installation& installation);

// Ends what an unfinished update left: puts back the runtime kept aside,
// replacing what stands in "Runtime", since the new one never answered; or
// finishes removing a superseded one, whose successor had answered. Does
// nothing without either. Call it holding the install lock.
void settleRuntimeUpdate(const Installation& installation);

// The last step of an update whose new runtime in "Runtime" has answered: the
// runtime kept aside is marked superseded, then removed.
void dropRuntimeSetAside(const Installation& installation);

} // namespace launcher
