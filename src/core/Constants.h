#pragma once
// The launcher's fixed values: its version, the SHA-256 pins, download
// addresses and expected sizes of what it trusts, and the download's stall
// limit. They are generated when the program is built (Constants::builtIn());
// nothing at run time can change them.

#include <chrono>
#include <cstdint>
#include <string>

namespace launcher {

// One runtime archive: its file name (also its name in the download caches),
// its HTTPS address, the SHA-256 pin of the whole file, and its size in bytes.
// The size only measures progress and bounds a download; only the pin decides
// whether a file is accepted.
struct RuntimeAsset {
    std::string name;
    std::string url;
    std::string sha256;
    std::uint64_t expectedSize = 0;
};

struct Constants {
    std::string version;
    RuntimeAsset engine;
    RuntimeAsset libraries;
    std::string codecHash;
    std::string mediaPackageHash;
    // A download that has received nothing for this long is stopped.
    std::chrono::seconds downloadStallLimit{60};
    // The wait before the second of the reconnects in a row that bring no new
    // bytes; each further wait doubles it (1, 2, 4, 8 s).
    std::chrono::milliseconds downloadReconnectWait{1000};

    // Defined in the generated source that each program links.
    static const Constants& builtIn();
};

} // namespace launcher
