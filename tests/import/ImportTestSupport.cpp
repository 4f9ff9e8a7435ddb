#include "import/ImportTestSupport.h"

#include "support/TestHost.h"

#include <algorithm>

namespace launcher::testing {
Installation testInstallation(const std::filesystem::path& root)
{
    return Installation(root, {}, testHost());
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

} // namespace launcher::testing
