#pragma once
// Progress of long work, a second channel beside the status lines: how much of
// a known size is done, or, for work without a known size, what is being done
// and for how long. progressText() gives the one text both front ends show.
//
//   Installation installation(root, report, Host::system(), Constants::builtIn(),
//                       {.progress = [](const Progress& p) { draw(progressText(p), p.fraction()); }});

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace launcher {

struct Progress {
    using Seconds = std::chrono::duration<double>;

    // What is being done, for work whose size is unknown ("Unpacking"); empty
    // when a byte count tells it.
    std::string activity;
    // How long the work has been going on.
    Seconds elapsed{};
    // Bytes done so far, for work that counts them.
    std::optional<std::uint64_t> bytes;
    // The size the work is expected to reach; absent when unknown, and once
    // `bytes` has grown past it.
    std::optional<std::uint64_t> expected;
    // The recent speed, once it can be measured.
    std::optional<double> bytesPerSecond;
    // How long the byte count has not grown, once that is long enough to matter.
    std::optional<Seconds> idle;

    // bytes / expected, between 0 and 1, when both are known.
    std::optional<double> fraction() const;
};

// How often long work looks at itself: reports progress, checks its limits and
// looks for a stop request.
inline constexpr std::chrono::milliseconds kProgressInterval{200};

// Called on the thread of the operation, about every kProgressInterval while long work runs.
using ProgressReport = std::function<void(const Progress& progress)>;

// The line shown for the progress, with a two-space indent and without a line
// feed, e.g. "  52% · 178 of 341 MB · 6.1 MB/s · 27 s left" or
// "  Unpacking · 12 s". Sizes are decimal (1 MB = 1,000,000 bytes).
std::string progressText(const Progress& progress);

// "120 of 341 MB": a part of a size, both in the unit the size calls for, the
// part rounded down.
std::string amountOf(std::uint64_t part, std::uint64_t size);

} // namespace launcher
