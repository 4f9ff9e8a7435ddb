#include "support/PrivateMount.h"

#include "support/TemporaryFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include <sys/wait.h>
#include <unistd.h>

#ifdef __linux__
#include <sched.h>
#include <sys/mount.h>
#endif

namespace launcher::testing {
namespace {

[[noreturn]] void refuse(const std::string& what)
{
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

#ifdef __linux__
void writeProcFile(const char* file, const std::string& text)
{
    std::ofstream out(file);
    out << text;
    out.close();
    if (!out)
        refuse(std::string("cannot write ") + file);
}

void enterMountNamespace()
{
    if (::unshare(CLONE_NEWNS) == 0)
        return;
    // Without root, a user namespace of its own lets the process mount; its
    // user and group stay what they were outside.
    const uid_t user = ::getuid();
    const gid_t group = ::getgid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
        refuse("cannot make a mount namespace");
    writeProcFile("/proc/self/setgroups", "deny");
    writeProcFile("/proc/self/uid_map", "0 " + std::to_string(user) + " 1");
    writeProcFile("/proc/self/gid_map", "0 " + std::to_string(group) + " 1");
}
#endif

} // namespace

void mountPrivately(MountKind kind, const std::filesystem::path& source, const std::filesystem::path& target)
{
#ifdef __linux__
    enterMountNamespace();
    // Mounts made here must not spread back to the namespace it came from.
    if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        refuse("cannot make the mounts private");
    const int mounted = kind == MountKind::tmpfs ? ::mount("tmpfs", target.c_str(), "tmpfs", 0, "size=1m")
                                                 : ::mount(source.c_str(), target.c_str(), nullptr, MS_BIND, nullptr);
    if (mounted != 0)
        refuse("cannot mount at " + target.string());
#else
    (void)kind;
    (void)source;
    (void)target;
    errno = ENOSYS;
    refuse("mount namespaces are Linux's");
#endif
}

std::optional<std::string> privateMountRefusal()
{
    const TemporaryFolder folder;
    int reason[2];
    if (::pipe(reason) != 0)
        return std::string("cannot make a pipe");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(reason[0]);
        try {
            mountPrivately(MountKind::tmpfs, {}, folder.path());
        } catch (const std::exception& refusal) {
            (void)!::write(reason[1], refusal.what(), std::strlen(refusal.what()));
            std::_Exit(1);
        }
        std::_Exit(0);
    }
    ::close(reason[1]);
    std::string text;
    char chunk[256];
    for (ssize_t n; (n = ::read(reason[0], chunk, sizeof chunk)) > 0;)
        text.append(chunk, static_cast<std::size_t>(n));
    ::close(reason[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return std::nullopt;
    return text.empty() ? std::string("the probe ended without an answer") : text;
}

} // namespace launcher::testing
