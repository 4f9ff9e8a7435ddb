#include "core/Progress.h"

#include <cmath>
#include <cstdio>

namespace launcher {
namespace {

constexpr const char* kSeparator = " · ";

struct Unit {
    double size;
    const char* name;
    // Digits after the decimal point.
    int precision;
};

// One unit for every figure of a line, chosen by the largest, so that "178 of
// 341 MB" never mixes units.
Unit unitFor(std::uint64_t largest)
{
    if (largest >= 1'000'000'000)
        return {1e9, "GB", 1};
    if (largest >= 1'000'000)
        return {1e6, "MB", 0};
    return {1e3, "kB", 0};
}

std::string number(double value, int precision)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", precision, value);
    return text;
}

// Rounded down, so that a last unit shows only once it is complete.
std::string doneAmount(std::uint64_t bytes, const Unit& unit)
{
    const double scale = std::pow(10.0, unit.precision);
    return number(std::floor(static_cast<double>(bytes) / unit.size * scale) / scale, unit.precision);
}

std::string sizeAmount(std::uint64_t bytes, const Unit& unit)
{
    return number(static_cast<double>(bytes) / unit.size, unit.precision);
}

std::string speed(double bytesPerSecond)
{
    if (bytesPerSecond >= 1e6)
        return number(bytesPerSecond / 1e6, 1) + " MB/s";
    return number(std::floor(bytesPerSecond / 1e3), 0) + " kB/s";
}

// "27 s", "4 min 5 s", "1 h 12 min".
std::string duration(double seconds)
{
    const auto whole = static_cast<long long>(seconds);
    if (whole < 60)
        return std::to_string(whole) + " s";
    if (whole < 3600)
        return std::to_string(whole / 60) + " min " + std::to_string(whole % 60) + " s";
    return std::to_string(whole / 3600) + " h " + std::to_string(whole % 3600 / 60) + " min";
}

} // namespace

std::optional<double> Progress::fraction() const
{
    if (!bytes || !expected || *expected == 0 || *bytes > *expected)
        return std::nullopt;
    return static_cast<double>(*bytes) / static_cast<double>(*expected);
}

std::string progressText(const Progress& progress)
{
    std::string text = "  ";
    if (!progress.bytes)
        return text + progress.activity + kSeparator + duration(progress.elapsed.count());

    const std::optional<double> done = progress.fraction();
    if (done) {
        text += std::to_string(static_cast<int>(std::floor(*done * 100))) + "%" + kSeparator
              + amountOf(*progress.bytes, *progress.expected);
    } else {
        const Unit unit = unitFor(*progress.bytes);
        text += doneAmount(*progress.bytes, unit) + " " + unit.name;
    }
    // Nothing arriving is said as such, never as a speed of 0 or a time left that only grows.
    if (progress.idle)
        return text + kSeparator + "no data for " + duration(progress.idle->count());
    if (progress.bytesPerSecond) {
        text += kSeparator + speed(*progress.bytesPerSecond);
        if (done && *progress.bytesPerSecond > 0) {
            const double left = static_cast<double>(*progress.expected - *progress.bytes) / *progress.bytesPerSecond;
            text += kSeparator + duration(std::ceil(left)) + " left";
        }
    }
    return text;
}

std::string amountOf(std::uint64_t part, std::uint64_t size)
{
    const Unit unit = unitFor(size);
    return doneAmount(part, unit) + " of " + sizeAmount(size, unit) + " " + unit.name;
}

} // namespace launcher
