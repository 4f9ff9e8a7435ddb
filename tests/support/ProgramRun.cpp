#include "support/ProgramRun.h"

#include "support/TemporaryFolder.h"

#include <stdexcept>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

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
    const TemporaryFolder streams;
    const auto outPath = streams / "out";
    const auto errPath = streams / "err";

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (options.directory)
        posix_spawn_file_actions_addchdir_np(&actions, options.directory->c_str());

    std::vector<std::string> argumentTexts{program.string()};
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environmentTexts;
    for (const auto& [name, value] : environmentWith(options.environment))
        environmentTexts.push_back(name + "=" + value);
    std::vector<char*> argv;
    std::vector<char*> envp;
    for (auto& text : argumentTexts)
        argv.push_back(text.data());
    for (auto& text : environmentTexts)
        envp.push_back(text.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    pid_t pid = -1;
    const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        throw std::runtime_error("cannot start " + program.string());
    int raw = 0;
    waitpid(pid, &raw, 0);
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw), readFile(outPath), readFile(errPath)};
}

} // namespace launcher::testing
