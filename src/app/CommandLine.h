#pragma once
// The command-line front end: one command per process.
//
//   --cli --install --game PATH --audio PATH [--home PATH] [--cache PATH]
//   --cli --launch [--debug] [--home PATH]
//   --cli --status [--home PATH]
//   --cli --saves [--home PATH]
//   --cli --restore-saves NAME [--home PATH]
//   --cli --uninstall [--keep-saves] [--home PATH]
//   --cli --diagnostics FILE [--home PATH]
//
// Status lines go to `out` as they happen; a failure's message goes to `err`.

#include <ostream>
#include <string>
#include <vector>

namespace launcher {

// Takes the whole argument list, program path first; returns the exit status.
int runCLI(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

} // namespace launcher
