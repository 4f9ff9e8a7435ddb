#pragma once
// The steps that setup and repair share besides the operations of the layers
// below. Both run them while holding the install lock.

#include "core/Installation.h"

#include <filesystem>
#include <vector>

namespace launcher {

// Starts a new setup log when the old one has grown too large, removes the
// staging folders a killed run left, except those holding one of `selections`,
// the player's files this run is about to read, and puts back a runtime that an
// unfinished update left aside.
void beginInstallationWork(const Installation& installation, const std::vector<std::filesystem::path>& selections);

// Writes a new installation record atomically, the moment of writing as its
// date, and reports "Ready to play": the last step of a setup or a repair. A
// stop that came during the last step's own work still leaves no record.
void recordInstallation(const Installation& installation);

} // namespace launcher
