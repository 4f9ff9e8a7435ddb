#pragma once

#include <exception>
#include <string>

namespace launcher::cli {

// What the command line prints on standard error for a failure: the
// catalogue's sentence, then "Details: " and the system's own words on a line
// of their own where there are any, each safe for a terminal.
std::string failureText(const std::exception& failure);

} // namespace launcher::cli
