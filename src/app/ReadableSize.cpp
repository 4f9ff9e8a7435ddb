#include "app/ReadableSize.h"

#include <array>
#include <cstdio>

namespace launcher {

std::string readableSize(std::uintmax_t bytes)
{
    if (bytes < 1000)
        return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    static constexpr std::array<const char*, 5> kUnits{"KB", "MB", "GB", "TB", "PB"};
    double value = static_cast<double>(bytes) / 1000;
    std::size_t unit = 0;
    // 999.95 would print as "1000.0"; it is the next unit's "1.0".
    while (value >= 999.95 && unit + 1 < kUnits.size()) {
        value /= 1000;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
    return text;
}

} // namespace launcher
