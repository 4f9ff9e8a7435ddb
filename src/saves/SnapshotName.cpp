#include "saves/SnapshotName.h"

#include <charconv>
#include <cstdio>
#include <ctime>

namespace launcher {
namespace {

constexpr std::string_view kPrefix = "Saves-";
// "YYYYMMDDTHHMMSSZ"
constexpr std::size_t kStampLength = 16;

bool isStamp(std::string_view text)
{
    if (text.size() != kStampLength || text[8] != 'T' || text[15] != 'Z')
        return false;
    for (std::size_t i = 0; i < 15; ++i)
        if (i != 8 && (text[i] < '0' || text[i] > '9'))
            return false;
    return true;
}

} // namespace

SnapshotName SnapshotName::at(std::chrono::system_clock::time_point time)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm utc{};
    ::gmtime_r(&seconds, &utc);
    char stamp[kStampLength + 1];
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &utc);
    return {stamp, 1};
}

std::optional<SnapshotName> SnapshotName::parse(std::string_view text)
{
    if (!text.starts_with(kPrefix))
        return std::nullopt;
    text.remove_prefix(kPrefix.size());
    if (!isStamp(text.substr(0, kStampLength)))
        return std::nullopt;
    SnapshotName name{std::string(text.substr(0, kStampLength)), 1};
    const std::string_view suffix = text.substr(kStampLength);
    if (suffix.empty())
        return name;
    // "-2" and up, without leading zeros, so that every number has one spelling.
    if (suffix.size() < 2 || suffix[0] != '-' || suffix[1] == '0')
        return std::nullopt;
    const char* end = suffix.data() + suffix.size();
    const auto [stop, error] = std::from_chars(suffix.data() + 1, end, name.number);
    if (error != std::errc() || stop != end || name.number < 2)
        return std::nullopt;
    return name;
}

std::string SnapshotName::text() const
{
    std::string text = std::string(kPrefix) + stamp;
    if (number > 1)
        text += "-" + std::to_string(number);
    return text;
}

} // namespace launcher
