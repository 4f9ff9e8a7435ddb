#include "import/ImportTestSupport.h"

#include "support/TestHost.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include <grp.h>
#include <unistd.h>

namespace launcher::testing {
namespace {

constexpr unsigned kNobody = 65534;

} // namespace

Installer testInstaller(const std::filesystem::path& root)
{
    return Installer(root, {}, testHost());
}

std::filesystem::path copyOfFixture(const std::string& relative, const std::filesystem::path& to)
{
    std::filesystem::create_directories(to.parent_path());
    std::filesystem::copy(fixture(relative), to, std::filesystem::copy_options::recursive);
    return to;
}

std::vector<std::string> stagingFolders(const std::filesystem::path& root)
{
    std::vector<std::string> names;
    if (!std::filesystem::exists(root))
        return names;
    for (const auto& entry : std::filesystem::directory_iterator(root)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("Game-staging-") || name.starts_with("DirectX-staging-"))
            names.push_back(name);
    }
    return names;
}

std::vector<std::string> treeListing(const std::filesystem::path& folder)
{
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        paths.push_back(entry.path().lexically_relative(folder).string());
    std::ranges::sort(paths);
    return paths;
}

std::string archiveToolFailure()
{
    return testHost().archiveTool.filename().string() +
           " failed (1). Open the setup log for details. If antivirus quarantined a file, review its report before "
           "retrying.";
}

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

} // namespace launcher::testing
