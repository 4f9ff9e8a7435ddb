#pragma once
// The names of save snapshots: "Saves-" + the UTC time it was taken,
// "Saves-20261210T141503Z", with "-2", "-3" … added when the name is taken.

#include <chrono>
#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace launcher {

struct SnapshotName {
    // "20261210T141503Z".
    std::string stamp;
    // 1 for the name without a number.
    unsigned number = 1;

    // The first name for a snapshot taken at `time`.
    static SnapshotName at(std::chrono::system_clock::time_point time);
    // Nothing unless the text has exactly the form above.
    static std::optional<SnapshotName> parse(std::string_view text);

    std::string text() const;
    SnapshotName next() const { return {stamp, number + 1}; }

    // Older names first: by time, then by number ("-10" after "-9").
    auto operator<=>(const SnapshotName&) const = default;
};

} // namespace launcher
