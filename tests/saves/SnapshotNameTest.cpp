#include "saves/SnapshotName.h"

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

namespace launcher {
namespace {

TEST(SnapshotName, OnlyTheExactFormIsASnapshotName)
{
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"Saves-20261210T141503Z", true},
        {"Saves-20261210T141503Z-2", true},
        {"Saves-20261210T141503Z-12", true},
        {"Saves-20261210T141503Z-1", false},
        {"Saves-20261210T141503Z-02", false},
        {"Saves-20261210T141503Z-", false},
        {"Saves-20261210T141503Z-2x", false},
        {"Saves-20261210T141503Z-99999999999999999999", false},
        {"Saves-20261210T141503", false},
        {"Saves-20261210X141503Z", false},
        {"Saves-2026121aT141503Z", false},
        {"saves-20261210T141503Z", false},
        {"Saves-staging-0A3F5D2E-1111-4222-8333-123456789ABC", false},
        {"Saves-20261210T141503Z/..", false},
        {"../Saves-20261210T141503Z", false},
        {"", false},
    };
    for (const auto& example : cases) {
        const auto parsed = SnapshotName::parse(example.text);
        EXPECT_EQ(parsed.has_value(), example.valid) << example.text;
        if (parsed) {
            EXPECT_EQ(parsed->text(), example.text);
        }
    }
}

TEST(SnapshotName, IsTheUtcTimeAndOrdersByTimeThenNumber)
{
    // 2026-12-10 14:15:03 UTC.
    const auto time = std::chrono::system_clock::time_point(std::chrono::seconds(1'796'912'103));
    const SnapshotName first = SnapshotName::at(time);
    EXPECT_EQ(first.text(), "Saves-20261210T141503Z");
    EXPECT_EQ(first.next().text(), "Saves-20261210T141503Z-2");

    std::vector<std::string> names{"Saves-20261210T141503Z-10", "Saves-20261211T000000Z", "Saves-20261210T141503Z",
                                   "Saves-20261210T141503Z-9", "Saves-20251231T235959Z"};
    std::vector<SnapshotName> parsed;
    for (const auto& name : names)
        parsed.push_back(*SnapshotName::parse(name));
    std::ranges::sort(parsed);
    std::vector<std::string> ordered;
    for (const auto& name : parsed)
        ordered.push_back(name.text());
    EXPECT_EQ(ordered, (std::vector<std::string>{"Saves-20251231T235959Z", "Saves-20261210T141503Z",
                                                 "Saves-20261210T141503Z-9", "Saves-20261210T141503Z-10",
                                                 "Saves-20261211T000000Z"}));
}

} // namespace
} // namespace launcher
