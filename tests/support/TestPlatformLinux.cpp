#include "support/TestPlatform.h"

#include "core/Posix.h"

#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace launcher::testing {
namespace {

// What can be read of a file below /proc; empty once the process has gone,
// which may happen at any moment.
std::string readText(const std::filesystem::path& file)
{
    std::string text;
    const FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd)
        return text;
    char chunk[4096];
    for (ssize_t n; (n = ::read(fd.get(), chunk, sizeof chunk)) > 0;)
        text.append(chunk, static_cast<std::size_t>(n));
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

std::filesystem::path processFolder(pid_t pid)
{
    return "/proc/" + std::to_string(pid);
}

// Changes the entry's inode flags (chattr's), as only the superuser may.
bool changeInodeFlags(const std::filesystem::path& entry, int set, int cleared)
{
    const FileDescriptor fd(::open(entry.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    int flags = 0;
    if (!fd || ::ioctl(fd.get(), FS_IOC_GETFLAGS, &flags) != 0)
        return false;
    flags = (flags | set) & ~cleared;
    return ::ioctl(fd.get(), FS_IOC_SETFLAGS, &flags) == 0;
}

} // namespace

std::optional<ProcessInfo> processInfo(pid_t pid)
{
    ProcessInfo info{.pid = pid};
    if (!parseStat(readText(processFolder(pid) / "stat"), info))
        return std::nullopt;
    info.commandLine = readText(processFolder(pid) / "cmdline");
    for (char& c : info.commandLine)
        if (c == '\0')
            c = ' ';
    return info;
}

std::vector<ProcessInfo> listProcesses()
{
    std::vector<ProcessInfo> processes;
    std::error_code error;
    for (std::filesystem::directory_iterator it("/proc", error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        if (std::optional<ProcessInfo> info = processInfo(std::stoi(name)))
            processes.push_back(std::move(*info));
    }
    return processes;
}

bool ignoresSignal(pid_t pid, int signal)
{
    std::istringstream status(readText(processFolder(pid) / "status"));
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("SigIgn:"))
            return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1) & 1) != 0;
    }
    return false;
}

void adoptOrphans()
{
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
}

bool setAttribute(const std::filesystem::path& file, const std::string& name, const std::string& value)
{
    return ::lsetxattr(file.c_str(), name.c_str(), value.data(), value.size(), 0) == 0;
}

bool hasAttribute(const std::filesystem::path& file, const std::string& name)
{
    return ::lgetxattr(file.c_str(), name.c_str(), nullptr, 0) >= 0;
}

bool lockAsOwner(const std::filesystem::path&)
{
    return false;
}

bool lockAsSuperuser(const std::filesystem::path& entry)
{
    return changeInodeFlags(entry, FS_IMMUTABLE_FL, 0);
}

void unlock(const std::filesystem::path& entry)
{
    changeInodeFlags(entry, 0, FS_IMMUTABLE_FL | FS_APPEND_FL);
}

} // namespace launcher::testing
