#pragma once
// The launcher's fixed values: version, SHA-256 pins, download addresses and the
// paths of the operating-system tools it drives. The released program gets them
// from Constants::builtIn(), generated at build time; tests build their own.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace launcher {

// One runtime archive: its file name (also its name in the download caches),
// its HTTPS address and the SHA-256 pin of the whole file.
struct RuntimeAsset {
    std::string name;
    std::string url;
    std::string sha256;
};

// An external program with its arguments, started by absolute path.
struct Command {
    std::filesystem::path executable;
    std::vector<std::string> arguments;
};

struct Constants {
    std::string version;
    RuntimeAsset engine;
    RuntimeAsset libraries;
    std::string codecHash;
    std::string mediaPackageHash;
    std::filesystem::path archiveTool;
    std::filesystem::path downloadTool;
    // Exits 0 exactly when this machine can run x86_64 programs.
    Command x86_64Check;
    // Bytes available on the volume holding the folder; nullopt when the volume
    // reports no figure. Throws std::filesystem::filesystem_error.
    std::function<std::optional<std::uintmax_t>(const std::filesystem::path&)> availableSpace;

    // Defined in the generated source that each program links.
    static const Constants& builtIn();
};

} // namespace launcher
