#include "support/ProgramRun.h"

#include "support/RunningProgram.h"

extern char** environ;

namespace launcher::testing {

std::map<std::string, std::string> environmentWith(const std::map<std::string, std::string>& changes)
{
    std::map<std::string, std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text(*entry);
        const auto equals = text.find('=');
        if (equals != std::string::npos)
            result.emplace(text.substr(0, equals), text.substr(equals + 1));
    }
    for (const auto& [name, value] : changes) {
        if (value.empty())
            result.erase(name);
        else
            result[name] = value;
    }
    return result;
}

ProgramResult runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                         const ProgramOptions& options)
{
    return RunningProgram(program, arguments, options).wait();
}

} // namespace launcher::testing
