#pragma once
// The steps that setup and repair share besides the Installer operations. Both
// run them while holding the install lock.

#include "core/Installer.h"

#include <filesystem>

namespace launcher {

// Removes the staging folders below the root. Under the install lock, a staging
// folder found belongs to a run that was killed; an import's can hold gigabytes.
void removeAbandonedStagingFolders(const std::filesystem::path& root);

// Writes a new installation record atomically, the moment of writing as its
// date, and reports "Ready to play": the last step of a setup or a repair.
void recordInstallation(const Installer& installer);

} // namespace launcher
