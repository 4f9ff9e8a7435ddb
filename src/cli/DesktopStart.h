#pragma once
// The desktop front end is a program of its own, beside this one and named
// after it with "-desktop" added ("veyra2-launcher-desktop"), so that the
// command line never links or loads Qt. The entry hands the process over to it.

#include <ostream>

namespace launcher::cli {

// Replaces this process by the desktop program with the same arguments. Returns
// only when it cannot, with the exit status, after saying why on `err` and
// listing the command-line commands: when there is no display to show a window
// on, or when the desktop program is not part of this build.
int startDesktop(char** argv, std::ostream& err);

} // namespace launcher::cli
