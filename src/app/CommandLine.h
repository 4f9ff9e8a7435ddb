#pragma once
// The command-line front end: one command per process.
//
//   --cli --install --game PATH --audio PATH [--home PATH] [--cache PATH]
//   --cli --launch [--debug] [--home PATH]
//   --cli --status [--home PATH]
//   --cli --verify [--home PATH]
//   --cli --repair [--game PATH] [--audio PATH] [--cache PATH] [--home PATH]
//
// Exactly one command per run; anything else gives the usage text.
// Status lines go to `out` as they happen; a failure's message goes to `err`.

#include <ostream>
#include <string>
#include <vector>

namespace launcher {

// Takes the whole argument list, program path first; returns the exit status.
int runCLI(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

} // namespace launcher
