#pragma once

#include "core/Installation.h"

#include <string>

namespace launcher {

// The readable report at the head of a diagnostics archive: launcher version
// and system, the root's free space, the installed test condition by condition,
// the verify report and the save snapshots. A part that cannot be found out
// says why instead of failing the report. Not yet masked (see HomeFolderMask).
std::string diagnosticsReport(const Installation& installation);

} // namespace launcher
