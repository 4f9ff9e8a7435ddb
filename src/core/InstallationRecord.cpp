#include "core/InstallationRecord.h"

#include "core/Posix.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>
#include <stdexcept>

#include <nlohmann/json.hpp>

namespace launcher {
namespace {

// 2001-01-01 00:00:00 UTC, the reference date of the stored time.
constexpr std::chrono::seconds kReferenceDate{978307200};

using Seconds = std::chrono::duration<double>;

constexpr double kClockRange = 9e9;

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
    const nlohmann::json json = nlohmann::json::parse(text);
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
    // Any number is a valid date; one beyond what the clock can hold (about 292
    // years either side of 1970) is clamped rather than overflowing.
    const double seconds = std::clamp(installedAt.get<double>(), -kClockRange, kClockRange);
    record.installedAt = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(Seconds(seconds) + kReferenceDate));
    return record;
}

InstallationRecord InstallationRecord::read(const std::filesystem::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    if (!stream)
        throwFileError("cannot open installation record", file);
    const std::string text{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    if (stream.bad())
        throwFileError("cannot read installation record", file);
    return decode(text);
}

} // namespace launcher
