#include "core/ByteMeter.h"
#include "core/Progress.h"

#include <cstdint>
#include <utility>

#include <gtest/gtest.h>

namespace launcher {
namespace {

using Seconds = Progress::Seconds;

TEST(ProgressText, SaysHowFarHowFastAndHowLongOrWhatForHowLong)
{
    struct Case {
        Progress progress;
        const char* text;
    };
    const Case cases[] = {
        {{.bytes = 178'600'000, .expected = 341'000'000, .bytesPerSecond = 6'100'000}, "  52% · 178 of 341 MB · 6.1 MB/s · 27 s left"},
        {{.bytes = 0, .expected = 341'000'000}, "  0% · 0 of 341 MB"},
        {{.bytes = 341'000'000, .expected = 341'000'000, .bytesPerSecond = 9e6}, "  100% · 341 of 341 MB · 9.0 MB/s · 0 s left"},
        {{.bytes = 1'200, .expected = 3'360, .bytesPerSecond = 2'000}, "  35% · 1 of 3 kB · 2 kB/s · 2 s left"},
        {{.bytes = 1'250'000'000, .expected = 2'300'000'000, .bytesPerSecond = 450'000},
         "  54% · 1.2 of 2.3 GB · 450 kB/s · 38 min 54 s left"},
        {{.bytes = 10'000'000, .expected = 341'000'000, .bytesPerSecond = 1'000}, "  2% · 10 of 341 MB · 1 kB/s · 91 h 56 min left"},
        // Past the expected size: bytes without a fraction, never over 100 %.
        {{.bytes = 400'000'000, .bytesPerSecond = 5e6}, "  400 MB · 5.0 MB/s"},
        // Nothing arriving is said as such, not as a speed of nothing.
        {{.bytes = 178'000'000, .expected = 341'000'000, .bytesPerSecond = 0, .idle = Seconds{12.5}},
         "  52% · 178 of 341 MB · no data for 12 s"},
        // Work of unknown size: what it is and for how long, no percentage.
        {{.activity = "Unpacking", .elapsed = Seconds{12.9}}, "  Unpacking · 12 s"},
        {{.activity = "Preparing Windows", .elapsed = Seconds{125}}, "  Preparing Windows · 2 min 5 s"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(progressText(c.progress), c.text);
}

TEST(ProgressText, FractionOnlyWhenBothCountsAreKnownAndInRange)
{
    const Progress quarter{.bytes = 25, .expected = 100};
    EXPECT_DOUBLE_EQ(*quarter.fraction(), 0.25);
    const Progress cases[] = {
        {.bytes = 25},
        {.bytes = 101, .expected = 100},
        {.bytes = 0, .expected = 0},
        {.activity = "Unpacking"},
    };
    for (const Progress& progress : cases)
        EXPECT_FALSE(progress.fraction());
}

// The part is rounded down, so "341 of 341 MB" means the whole is here.
TEST(ProgressText, AmountOfAPartInTheUnitOfTheWhole)
{
    const std::pair<std::pair<std::uint64_t, std::uint64_t>, const char*> cases[] = {
        {{120'400'000, 341'000'000}, "120 of 341 MB"},
        {{340'999'999, 341'000'000}, "340 of 341 MB"},
        {{25'000, 341'000'000}, "0 of 341 MB"},
        {{25'999, 51'000}, "25 of 51 kB"},
        {{1'500'000'000, 2'000'000'000}, "1.5 of 2.0 GB"},
    };
    for (const auto& [amounts, text] : cases)
        EXPECT_EQ(amountOf(amounts.first, amounts.second), text);
}

TEST(ByteMeter, MeasuresRecentSpeedStillnessAndDropsAnExpectedSizeThatWasPassed)
{
    const ByteMeter::Clock::time_point start{};
    const auto at = [&](double seconds) {
        return start + std::chrono::duration_cast<ByteMeter::Clock::duration>(Seconds{seconds});
    };
    ByteMeter meter(start);

    const Progress first = meter.measure(100, 1000, at(0.2));
    EXPECT_FALSE(first.bytesPerSecond) << "too short a span to tell a speed";
    EXPECT_EQ(first.expected, 1000u);

    const Progress second = meter.measure(1100, 10'000, at(1));
    ASSERT_TRUE(second.bytesPerSecond);
    EXPECT_DOUBLE_EQ(*second.bytesPerSecond, 1100.0);
    EXPECT_DOUBLE_EQ(second.elapsed.count(), 1.0);

    // The speed follows the last few seconds, not the average since the start.
    for (int time = 2; time <= 20; ++time)
        meter.measure(1100 + (time - 1) * 100, 10'000, at(time));
    EXPECT_NEAR(*meter.measure(3100, 10'000, at(21)).bytesPerSecond, 100.0, 1.0);

    // A count that stands still is said from three seconds on.
    EXPECT_FALSE(meter.measure(3100, 10'000, at(23)).idle);
    const Progress still = meter.measure(3100, 10'000, at(24.5));
    ASSERT_TRUE(still.idle);
    EXPECT_DOUBLE_EQ(still.idle->count(), 3.5);
    EXPECT_DOUBLE_EQ(meter.idle().count(), 3.5);

    const Progress past = meter.measure(12'000, 10'000, at(25));
    EXPECT_FALSE(past.expected);
    EXPECT_FALSE(past.idle);
}

} // namespace
} // namespace launcher
