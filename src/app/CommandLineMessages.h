#pragma once

#include <exception>
#include <string>

namespace launcher {

// What the command line prints for a failure: its message, except that the
// refusals whose way out is another command or option name it with its flags.
std::string commandLineMessage(const std::exception& failure);

} // namespace launcher
