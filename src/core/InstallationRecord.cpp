#include "core/InstallationRecord.h"

#include "core/RegularFile.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <stdexcept>
#include <vector>

#include <nlohmann/json.hpp>

namespace launcher {
namespace {

// 2001-01-01 00:00:00 UTC, the reference date of the stored time.
constexpr std::chrono::seconds kReferenceDate{978307200};

using Seconds = std::chrono::duration<double>;
using Clock = std::chrono::system_clock;

// Any number is a valid date; one beyond what the clock can hold (about 292
// years either side of 1970 with nanosecond ticks) becomes the clock's first or
// last moment. The clamp works on ticks, after the reference date is added:
// converting a double that is out of range to an integer is undefined.
Clock::time_point clampedTime(double secondsSinceReference)
{
    using Ticks = Clock::duration;
    const double ticks = (secondsSinceReference + std::chrono::duration_cast<Seconds>(kReferenceDate).count())
        * Ticks::period::den / Ticks::period::num;
    // The largest tick count is not a double; the next double below it is the last that fits.
    const double last = std::nextafter(static_cast<double>(std::numeric_limits<Ticks::rep>::max()), 0.0);
    const double first = static_cast<double>(std::numeric_limits<Ticks::rep>::min());
    // Rounded, not truncated: a stored time read back lands on the tick it came
    // from, on a clock with microsecond ticks as on one with nanosecond ticks.
    return Clock::time_point(Ticks(static_cast<Ticks::rep>(std::round(std::clamp(ticks, first, last)))));
}

// Parsing stops at the first key that an object already holds: a record whose
// keys repeat could say two things at once.
class DuplicateKeyWatch final {
public:
    bool operator()(int depth, nlohmann::json::parse_event_t event, const nlohmann::json& parsed)
    {
        using Event = nlohmann::json::parse_event_t;
        // An object starts at `depth`; its keys are reported one level deeper.
        if (event == Event::object_start) {
            m_keys.resize(static_cast<std::size_t>(depth) + 1);
            m_keys.back().clear();
        }
        if (event == Event::key && !m_keys.at(static_cast<std::size_t>(depth) - 1).insert(parsed.get<std::string>()).second)
            throw std::invalid_argument("installation record repeats the key " + parsed.dump());
        return true;
    }

private:
    std::vector<std::set<std::string>> m_keys;
};

const nlohmann::json& member(const nlohmann::json& object, const char* key)
{
    const auto found = object.find(key);
    if (found == object.end())
        throw std::invalid_argument(std::string("installation record lacks \"") + key + "\"");
    return *found;
}

} // namespace

std::string InstallationRecord::encode() const
{
    const double seconds = std::chrono::duration_cast<Seconds>(installedAt.time_since_epoch() - kReferenceDate).count();
    nlohmann::ordered_json json;
    json["format"] = format;
    json["launcherVersion"] = launcherVersion;
    json["engine"] = engine;
    json["installedAt"] = seconds;
    return json.dump();
}

InstallationRecord InstallationRecord::decode(std::string_view text)
{
    // Strict: anything but white space after the JSON value makes it no record.
    const nlohmann::json json = nlohmann::json::parse(text, DuplicateKeyWatch());
    if (!json.is_object())
        throw std::invalid_argument("installation record is not a JSON object");

    const auto& format = member(json, "format");
    const auto& launcherVersion = member(json, "launcherVersion");
    const auto& engine = member(json, "engine");
    const auto& installedAt = member(json, "installedAt");
    const bool formatFits = format.is_number_integer()
        && (format.is_number_unsigned() ? format.get<std::uint64_t>() <= std::numeric_limits<std::int64_t>::max() : true);
    if (!formatFits || !launcherVersion.is_string() || !engine.is_string() || !installedAt.is_number())
        throw std::invalid_argument("installation record has a value of the wrong type");

    InstallationRecord record;
    record.format = format.get<std::int64_t>();
    record.launcherVersion = launcherVersion.get<std::string>();
    record.engine = engine.get<std::string>();
    record.installedAt = clampedTime(installedAt.get<double>());
    return record;
}

InstallationRecord InstallationRecord::read(const std::filesystem::path& file)
{
    // A record is a few hundred bytes; anything far larger is no record of ours,
    // and a link to a device that never ends must not be read at all.
    return decode(readRegular(file, {.followLinks = false, .maxSize = 64 * 1024}));
}

} // namespace launcher
