#include "support/ProcessTree.h"

#include "support/TestPlatform.h"

#include <csignal>
#include <fstream>
#include <map>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace launcher::testing {

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
    const std::optional<ProcessInfo> info = processInfo(pid);
    return info && !info->exited();
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
