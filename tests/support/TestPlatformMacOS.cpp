#include "support/TestPlatform.h"

#include <cerrno>
#include <cstdint>

#include <sys/proc.h>
#include <sys/stat.h>
#include <sys/sysctl.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace launcher::testing {
namespace {

// The kernel's table of the processes `selector` names (KERN_PROC_ALL, or
// KERN_PROC_PID with the process number); empty when it cannot be read.
std::vector<kinfo_proc> kernelProcesses(int selector, int argument)
{
    int name[] = {CTL_KERN, KERN_PROC, selector, argument};
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::size_t size = 0;
        if (::sysctl(name, 4, nullptr, &size, nullptr, 0) != 0)
            return {};
        // Room for the processes that start between the two calls.
        std::vector<kinfo_proc> entries(size / sizeof(kinfo_proc) + 32);
        size = entries.size() * sizeof(kinfo_proc);
        if (::sysctl(name, 4, entries.data(), &size, nullptr, 0) == 0) {
            entries.resize(size / sizeof(kinfo_proc));
            return entries;
        }
        if (errno != ENOMEM)
            return {};
    }
    return {};
}

// The letters of Linux's /proc, which ProcessInfo::state speaks.
char stateLetter(char kernelState)
{
    switch (kernelState) {
    case SRUN:
        return 'R';
    case SSLEEP:
        return 'S';
    case SSTOP:
        return 'T';
    case SZOMB:
        return 'Z';
    default:
        return 'I';
    }
}

ProcessInfo processFrom(const kinfo_proc& entry)
{
    return {.pid = entry.kp_proc.p_pid,
            .parent = entry.kp_eproc.e_ppid,
            .group = entry.kp_eproc.e_pgid,
            .state = stateLetter(entry.kp_proc.p_stat),
            .commandLine = entry.kp_proc.p_comm};
}

constexpr std::uint32_t kEveryLock = UF_IMMUTABLE | UF_APPEND | SF_IMMUTABLE | SF_APPEND;

bool addFlags(const std::filesystem::path& entry, std::uint32_t added)
{
    struct stat info{};
    return ::lstat(entry.c_str(), &info) == 0 && ::lchflags(entry.c_str(), info.st_flags | added) == 0;
}

} // namespace

std::vector<ProcessInfo> listProcesses()
{
    std::vector<ProcessInfo> processes;
    for (const kinfo_proc& entry : kernelProcesses(KERN_PROC_ALL, 0))
        processes.push_back(processFrom(entry));
    return processes;
}

std::optional<ProcessInfo> processInfo(pid_t pid)
{
    const std::vector<kinfo_proc> found = kernelProcesses(KERN_PROC_PID, pid);
    if (found.empty())
        return std::nullopt;
    return processFrom(found.front());
}

bool ignoresSignal(pid_t pid, int signal)
{
    const std::vector<kinfo_proc> found = kernelProcesses(KERN_PROC_PID, pid);
    return !found.empty() && (found.front().kp_proc.p_sigignore & (1u << (signal - 1))) != 0;
}

void adoptOrphans() {}

bool setAttribute(const std::filesystem::path& file, const std::string& name, const std::string& value)
{
    return ::setxattr(file.c_str(), name.c_str(), value.data(), value.size(), 0, XATTR_NOFOLLOW) == 0;
}

bool hasAttribute(const std::filesystem::path& file, const std::string& name)
{
    return ::getxattr(file.c_str(), name.c_str(), nullptr, 0, 0, XATTR_NOFOLLOW) >= 0;
}

bool lockAsOwner(const std::filesystem::path& entry)
{
    return addFlags(entry, UF_IMMUTABLE);
}

bool lockAsSuperuser(const std::filesystem::path& entry)
{
    return addFlags(entry, SF_IMMUTABLE);
}

void unlock(const std::filesystem::path& entry)
{
    struct stat info{};
    if (::lstat(entry.c_str(), &info) != 0)
        return;
    // Only the superuser may clear the system's flags; anyone else clears the owner's.
    if (::lchflags(entry.c_str(), info.st_flags & ~kEveryLock) != 0)
        ::lchflags(entry.c_str(), info.st_flags & ~(UF_IMMUTABLE | UF_APPEND));
}

} // namespace launcher::testing
