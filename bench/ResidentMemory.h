#pragma once

#include <cstdint>

namespace launcher::bench {

// getrusage()'s ru_maxrss in bytes: Linux counts kilobytes, macOS bytes.
inline std::uint64_t maxResidentBytes(long maxrss)
{
#if defined(__APPLE__)
    return static_cast<std::uint64_t>(maxrss);
#else
    return static_cast<std::uint64_t>(maxrss) * 1024;
#endif
}

} // namespace launcher::bench
