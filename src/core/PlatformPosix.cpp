// The parts of Platform.h that macOS and Linux share, both being POSIX systems.
#include "core/Platform.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

#include <pwd.h>
#include <unistd.h>

namespace launcher::platform {
namespace {

// This process's account in the user database, its strings kept in `buffer`;
// nullptr when there is none, `error` then telling why. Reentrant, unlike
// getpwuid(): the desktop front end asks from worker threads.
passwd* account(passwd& entry, std::vector<char>& buffer, int& error)
{
    const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    buffer.resize(suggested > 0 ? static_cast<std::size_t>(suggested) : 4096);
    passwd* found = nullptr;
    while ((error = ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found)) == ERANGE)
        buffer.resize(buffer.size() * 2);
    return found;
}

} // namespace

std::filesystem::path homeFolder()
{
    // A relative HOME would put the root wherever the launcher happens to start.
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/')
        return home;

    passwd entry{};
    std::vector<char> buffer;
    int error = 0;
    const passwd* found = account(entry, buffer, error);
    if (found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/')
        throw std::system_error(error != 0 ? error : ENOENT, std::generic_category(),
                                "Cannot find the home folder of this account");
    return found->pw_dir;
}

std::string loginName()
{
    passwd entry{};
    std::vector<char> buffer;
    int error = 0;
    const passwd* found = account(entry, buffer, error);
    return found != nullptr && found->pw_name != nullptr ? found->pw_name : "";
}

} // namespace launcher::platform
