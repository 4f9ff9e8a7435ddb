#pragma once
// Turns a byte count that grows, looked at now and then, into progress: the
// speed over the last few seconds, and how long the count has stood still.
//
//   ByteMeter meter;                              // the work starts now
//   every 200 ms: report(meter.measure(copied, total));
//
// One thread measures; the meter is not shared.

#include "core/Progress.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <utility>

namespace launcher {

class ByteMeter final {
public:
    using Clock = std::chrono::steady_clock;

    // The count is `bytes` at `start`.
    explicit ByteMeter(Clock::time_point start = Clock::now(), std::uint64_t bytes = 0);

    // Records the count at `now` and returns the progress to show. `expected`
    // is dropped from the result once the count has passed it.
    Progress measure(std::uint64_t bytes, std::optional<std::uint64_t> expected, Clock::time_point now = Clock::now());

    // How long the count had not changed when it was last measured.
    Progress::Seconds idle() const { return m_samples.back().first - m_lastChange; }

private:
    Clock::time_point m_start;
    Clock::time_point m_lastChange;
    // Recent counts, oldest first, for the speed; the newest is the last measurement.
    std::deque<std::pair<Clock::time_point, std::uint64_t>> m_samples;
};

} // namespace launcher
