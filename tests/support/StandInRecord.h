#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace launcher::testing {

// One call of the stand-in runtime, as it recorded it (see fixtures/runtime/standin-wine).
struct StandInCall {
    // "wine" or "wineserver".
    std::string program;
    std::vector<std::string> arguments;
    std::string directory;
    // Every WINE*, DYLD_*, LD_* and MVK_* variable the call saw.
    std::map<std::string, std::string> environment;
};

// All recorded calls in order; none when the record does not exist.
std::vector<StandInCall> readStandInRecord(const std::filesystem::path& record);

} // namespace launcher::testing
