#include "core/ByteMeter.h"

namespace launcher {
namespace {

// The speed is taken over this much of the recent past: long enough to smooth
// out bursts, short enough to follow a changing connection.
constexpr Progress::Seconds kSpeedWindow{5};
// Below this span a speed would be mostly noise.
constexpr Progress::Seconds kShortestSpan{0.5};
// A count that stands still for a moment is normal; from this long on it is said.
constexpr Progress::Seconds kShowIdleAfter{3};

} // namespace

ByteMeter::ByteMeter(Clock::time_point start, std::uint64_t bytes)
    : m_start(start), m_lastChange(start), m_samples{{start, bytes}}
{
}

Progress ByteMeter::measure(std::uint64_t bytes, std::optional<std::uint64_t> expected, Clock::time_point now)
{
    if (bytes != m_samples.back().second)
        m_lastChange = now;
    m_samples.emplace_back(now, bytes);
    while (m_samples.size() > 2 && now - m_samples[1].first >= kSpeedWindow)
        m_samples.pop_front();

    Progress progress{.elapsed = now - m_start, .bytes = bytes};
    if (expected && bytes <= *expected)
        progress.expected = expected;
    const auto& [oldestTime, oldestBytes] = m_samples.front();
    const Progress::Seconds span = now - oldestTime;
    if (span >= kShortestSpan && bytes >= oldestBytes)
        progress.bytesPerSecond = static_cast<double>(bytes - oldestBytes) / span.count();
    if (idle() >= kShowIdleAfter)
        progress.idle = idle();
    return progress;
}

} // namespace launcher
