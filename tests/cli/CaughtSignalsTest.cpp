#include "cli/CaughtSignals.h"

#include <csignal>

#include <gtest/gtest.h>

namespace launcher::cli {
namespace {

void (*dispositionOf(int number))(int)
{
    struct sigaction current {};
    ::sigaction(number, nullptr, &current);
    return current.sa_handler;
}

TEST(CaughtSignals, CatchesIntoTheStopRequestLeavesInheritedIgnoresAndRestoresOnTheWayOut)
{
    std::signal(SIGHUP, SIG_IGN);
    const auto before = dispositionOf(SIGTERM);
    const StopRequest stop;
    {
        CaughtSignals signals({SIGINT, SIGTERM, SIGHUP}, &stop);
        EXPECT_EQ(dispositionOf(SIGHUP), SIG_IGN) << "an ignore the launcher inherited stays, as under nohup";
        std::raise(SIGHUP);
        EXPECT_EQ(signals.take(), 0);
        EXPECT_FALSE(stop.requested());

        std::raise(SIGTERM);
        EXPECT_TRUE(stop.requested());
        EXPECT_EQ(signals.take(), SIGTERM);
        EXPECT_EQ(signals.take(), 0) << "a signal is taken once";
        std::raise(SIGINT);
        EXPECT_EQ(signals.take(), SIGINT);
    }
    EXPECT_EQ(dispositionOf(SIGTERM), before);
    EXPECT_EQ(dispositionOf(SIGHUP), SIG_IGN);
    std::signal(SIGHUP, SIG_DFL);

    // Without a stop request the signal is only remembered, to be passed on.
    CaughtSignals forwarded({SIGINT});
    std::raise(SIGINT);
    EXPECT_EQ(forwarded.take(), SIGINT);
}

} // namespace
} // namespace launcher::cli
