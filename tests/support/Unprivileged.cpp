#include "support/Unprivileged.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <system_error>

#include <grp.h>
#include <unistd.h>

namespace launcher::testing {
namespace {

constexpr unsigned kNobody = 65534;

} // namespace

void exitWithFailureOfUnprivileged(const std::function<void()>& body)
{
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
        std::perror("cannot give up root");
        std::_Exit(2);
    }
    try {
        body();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        std::_Exit(0);
    }
    // _Exit: a child that gave up root cannot run the leak checker's exit hooks.
    std::_Exit(1);
}

unsigned unprivilegedUser()
{
    return ::geteuid() == 0 ? kNobody : ::geteuid();
}

std::filesystem::path playersFolder(const std::filesystem::path& folder)
{
    std::filesystem::create_directory(folder);
    if (::chown(folder.c_str(), unprivilegedUser(), static_cast<gid_t>(-1)) != 0)
        throw std::filesystem::filesystem_error("cannot hand the folder to the player", folder,
                                                std::error_code(errno, std::generic_category()));
    return folder;
}

void giveTreeToPlayer(const std::filesystem::path& folder)
{
    const auto give = [](const std::filesystem::path& entry) {
        if (::lchown(entry.c_str(), unprivilegedUser(), static_cast<gid_t>(-1)) != 0)
            throw std::filesystem::filesystem_error("cannot hand the entry to the player", entry,
                                                    std::error_code(errno, std::generic_category()));
    };
    give(folder);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        give(entry.path());
}

} // namespace launcher::testing
