#pragma once

#include "core/Installation.h"
#include "app/VerificationReport.h"

namespace launcher {

// Checks the installation below its root, part by part, and decides
// what a repair redoes. Changes nothing in the installation and creates nothing
// when the root is missing; its wine calls ("--version", and "reg query" of the
// decoder's registration, each limited to 30 seconds) keep what the runtime
// answers in memory and add it to the setup log only when a call fails, so
// that a log that cannot be written changes no verdict.
// The caller holds the install lock where there is one to hold.
VerificationReport checkInstallation(const Installation& installation);

// Checks the whole installation under the install lock and changes nothing in
// it; creates neither the root nor the lock file.
VerificationReport verify(const Installation& installation);

} // namespace launcher
