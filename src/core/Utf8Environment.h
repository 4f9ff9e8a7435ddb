#pragma once
// Programs started outside a terminal often have no LANG, and under the C or
// POSIX locale the archive tool cannot print a name outside ASCII: it fails on a
// ZIP holding one. Such programs get a UTF-8 character set of their own.

#include "core/ChildProcess.h"

#include <optional>

namespace launcher {

// Nothing when the character set that the launcher's environment selects is
// UTF-8 already, so the program simply inherits that environment. Otherwise the
// launcher's environment with LC_CTYPE naming the platform's UTF-8 locale, and
// without LC_ALL, which would override it; everything else stays.
std::optional<Environment> utf8Environment();

} // namespace launcher
