#pragma once

#include "core/Installer.h"
#include "core/Verification.h"

namespace launcher {

// Checks the installation below the installer's root, part by part, and decides
// what a repair redoes. Changes nothing in the installation and creates nothing
// when the root is missing; its wine calls ("--version", and "reg query" of the
// decoder's registration, each limited to 30 seconds) are logged like any run.
// The caller holds the install lock where there is one to hold.
VerificationReport checkInstallation(const Installer& installer);

} // namespace launcher
