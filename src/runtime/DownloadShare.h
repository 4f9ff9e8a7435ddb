#pragma once

#include <cstdint>

namespace launcher {

// Where one archive's bytes lie in a download of several, so that progress
// counts them together: the expected bytes of the archives before it, and of
// all. A total of 0 counts this archive alone.
struct DownloadShare {
    std::uint64_t before = 0;
    std::uint64_t total = 0;
};

} // namespace launcher
