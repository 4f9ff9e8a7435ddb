#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace launcher {

// An external program with its arguments, started by absolute path.
struct Command {
    std::filesystem::path executable;
    std::vector<std::string> arguments;
};

} // namespace launcher
