#pragma once
// What the launcher uses of the machine it runs on: the operating system's
// tools and two questions about the machine. Host::system() is the real one;
// tests replace single members to stage a machine without touching any pin.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace launcher {

// An external program with its arguments, started by absolute path.
struct Command {
    std::filesystem::path executable;
    std::vector<std::string> arguments;
};

struct Host {
    std::filesystem::path archiveTool;
    std::filesystem::path downloadTool;
    // Exits 0 exactly when this machine can run x86_64 programs.
    Command x86_64Check;
    // Bytes available on the volume holding the folder; nullopt when the volume
    // reports no figure. Throws std::filesystem::filesystem_error.
    std::function<std::optional<std::uintmax_t>(const std::filesystem::path&)> availableSpace;

    static Host system();
};

} // namespace launcher
