#include "support/ProcessTree.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>
#include <sstream>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/prctl.h>
#endif

namespace launcher::testing {
namespace {

// What can be read of a file below /proc; empty once the process has gone,
// which may happen at any moment.
std::string readText(const std::filesystem::path& file)
{
    std::string text;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return text;
    char chunk[4096];
    for (ssize_t n; (n = ::read(fd, chunk, sizeof chunk)) > 0;)
        text.append(chunk, static_cast<std::size_t>(n));
    ::close(fd);
    return text;
}

// The fields after the command name, which may itself hold spaces and parentheses.
bool parseStat(const std::string& stat, ProcessInfo& info)
{
    const auto close = stat.rfind(')');
    if (close == std::string::npos)
        return false;
    std::istringstream fields(stat.substr(close + 1));
    return static_cast<bool>(fields >> info.state >> info.parent >> info.group);
}

std::vector<ProcessInfo> listProcesses()
{
    std::vector<ProcessInfo> processes;
    std::error_code error;
    for (std::filesystem::directory_iterator it("/proc", error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        ProcessInfo info{.pid = std::stoi(name)};
        if (!parseStat(readText(it->path() / "stat"), info))
            continue;
        info.commandLine = readText(it->path() / "cmdline");
        for (char& c : info.commandLine)
            if (c == '\0')
                c = ' ';
        processes.push_back(std::move(info));
    }
    return processes;
}

} // namespace

std::vector<ProcessInfo> descendantsOf(pid_t ancestor)
{
    std::multimap<pid_t, ProcessInfo> byParent;
    for (ProcessInfo& info : listProcesses())
        byParent.emplace(info.parent, std::move(info));
    std::vector<ProcessInfo> found;
    std::vector<pid_t> parents{ancestor};
    while (!parents.empty()) {
        const pid_t parent = parents.back();
        parents.pop_back();
        const auto [first, last] = byParent.equal_range(parent);
        for (auto it = first; it != last; ++it) {
            found.push_back(it->second);
            parents.push_back(it->second.pid);
        }
    }
    return found;
}

bool isRunning(pid_t pid)
{
    ProcessInfo info;
    const std::string stat = readText("/proc/" + std::to_string(pid) + "/stat");
    if (!stat.empty())
        return parseStat(stat, info) && !info.exited();
    return ::kill(pid, 0) == 0;
}

bool ignoresSignal(pid_t pid, int signal)
{
    std::istringstream status(readText("/proc/" + std::to_string(pid) + "/status"));
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("SigIgn:"))
            return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1) & 1) != 0;
    }
    return false;
}

std::vector<pid_t> pidsIn(const std::filesystem::path& file)
{
    std::ifstream stream(file);
    std::vector<pid_t> pids;
    for (pid_t pid = 0; stream >> pid;)
        pids.push_back(pid);
    return pids;
}

bool hasEndedWithin(pid_t pid, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (isRunning(pid)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

void adoptOrphans()
{
#if defined(__linux__)
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
#endif
}

void reapExitedChildren()
{
    for (const ProcessInfo& info : descendantsOf(::getpid()))
        if (info.parent == ::getpid() && info.exited())
            ::waitpid(info.pid, nullptr, WNOHANG);
}

std::vector<ProcessInfo> killDescendants(pid_t ancestor)
{
    std::vector<ProcessInfo> running;
    for (const ProcessInfo& info : descendantsOf(ancestor)) {
        if (info.exited())
            continue;
        running.push_back(info);
        // Never the group of the test program itself.
        if (info.group == info.pid)
            ::kill(-info.group, SIGKILL);
        ::kill(info.pid, SIGKILL);
    }
    return running;
}

} // namespace launcher::testing
