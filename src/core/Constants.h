#pragma once
// The launcher's fixed values: its version and the SHA-256 pins and download
// addresses of what it trusts. They are generated when the program is built
// (Constants::builtIn()); nothing at run time can change them.

#include <string>

namespace launcher {

// One runtime archive: its file name (also its name in the download caches),
// its HTTPS address and the SHA-256 pin of the whole file.
struct RuntimeAsset {
    std::string name;
    std::string url;
    std::string sha256;
};

struct Constants {
    std::string version;
    RuntimeAsset engine;
    RuntimeAsset libraries;
    std::string codecHash;
    std::string mediaPackageHash;

    // Defined in the generated source that each program links.
    static const Constants& builtIn();
};

} // namespace launcher
