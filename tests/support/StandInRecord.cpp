#include "support/StandInRecord.h"

#include <fstream>

#include <nlohmann/json.hpp>

namespace launcher::testing {

std::vector<StandInCall> readStandInRecord(const std::filesystem::path& record)
{
    std::vector<StandInCall> calls;
    std::ifstream in(record);
    for (std::string line; std::getline(in, line);) {
        const auto json = nlohmann::json::parse(line);
        calls.push_back({json.at("program").get<std::string>(), json.at("arguments").get<std::vector<std::string>>(), json.at("directory").get<std::string>(),
                         json.at("environment").get<std::map<std::string, std::string>>()});
    }
    return calls;
}

} // namespace launcher::testing
