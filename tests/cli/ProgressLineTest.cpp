#include "cli/ProgressLine.h"

#include <sstream>

#include <gtest/gtest.h>

namespace launcher::cli {
namespace {

TEST(ProgressLine, RedrawsOneLineInPlaceAndClearsItOnlyWhenShown)
{
    std::ostringstream terminal;
    ProgressLine line(&terminal);
    line.clear();
    EXPECT_EQ(terminal.str(), "") << "nothing shown, nothing to clear";

    line.show({.activity = "Unpacking", .elapsed = Progress::Seconds{3}});
    line.show({.activity = "Unpacking", .elapsed = Progress::Seconds{4}});
    line.clear();
    line.clear();
    EXPECT_EQ(terminal.str(), "\r  Unpacking · 3 s\x1b[K\r  Unpacking · 4 s\x1b[K\r\x1b[K");

    ProgressLine offTerminal(nullptr);
    offTerminal.show({.activity = "Unpacking"});
    offTerminal.clear();
}

} // namespace
} // namespace launcher::cli
