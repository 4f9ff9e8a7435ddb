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

std::filesystem::path homeFolder()
{
    // A relative HOME would put the root wherever the launcher happens to start.
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/')
        return home;

    long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 4096);
    passwd account{};
    passwd* found = nullptr;
    int error = 0;
    while ((error = ::getpwuid_r(::getuid(), &account, buffer.data(), buffer.size(), &found)) == ERANGE)
        buffer.resize(buffer.size() * 2);
    if (found == nullptr || account.pw_dir == nullptr || account.pw_dir[0] != '/')
        throw std::system_error(error != 0 ? error : ENOENT, std::generic_category(),
                                "Cannot find the home folder of this account");
    return account.pw_dir;
}

} // namespace launcher::platform
