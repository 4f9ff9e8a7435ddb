#pragma once
// The content of "installed.json", written by setup as its last act.
// The file is compact JSON with the keys in field order and the date as seconds
// since 2001-01-01 00:00:00 UTC; readers accept any key order and extra keys.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace launcher {

struct InstallationRecord {
    static constexpr std::int64_t kFormat = 1;

    std::int64_t format = kFormat;
    std::string launcherVersion;
    std::string engine;
    std::chrono::system_clock::time_point installedAt;

    std::string encode() const;
    // Throws when the text is not a JSON object holding the four keys with their types.
    static InstallationRecord decode(std::string_view json);
    // Reads and decodes the file; a file that cannot be read throws the file system's error.
    static InstallationRecord read(const std::filesystem::path& file);
};

} // namespace launcher
