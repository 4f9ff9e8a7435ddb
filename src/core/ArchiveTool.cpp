#include "core/ArchiveTool.h"

#include "core/ProcessRunner.h"
#include "core/Utf8Environment.h"

namespace launcher {

std::vector<std::string> ArchiveTool::list(const std::filesystem::path& archive) const
{
    const std::string text = m_runner.capture(
        {m_tool, {"-tf", archive.string()}},
        {.environment = utf8Environment(), .timeout = timeouts::kArchiveTool, .activity = "Reading the archive"});
    std::vector<std::string> names;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            names.emplace_back(text, start, end - start);
        start = end + 1;
    }
    return names;
}

void ArchiveTool::extract(const std::filesystem::path& archive, const std::filesystem::path& folder) const
{
    run({"-xf", archive.string(), "-C", folder.string()});
}

void ArchiveTool::extractOwnedByUser(const std::filesystem::path& archive, const std::filesystem::path& folder) const
{
    run({"-xf", archive.string(), "-C", folder.string(), "--no-same-owner", "--no-same-permissions"});
}

void ArchiveTool::extractMember(const std::filesystem::path& archive, const std::filesystem::path& folder,
                                const std::string& member) const
{
    run({"-xf", archive.string(), "-C", folder.string(), member});
}

void ArchiveTool::createZip(const std::filesystem::path& archive, const std::filesystem::path& folder,
                            const std::vector<std::string>& members) const
{
    std::vector<std::string> arguments{"--format", "zip", "-cf", archive.string(), "-C", folder.string()};
    arguments.insert(arguments.end(), members.begin(), members.end());
    run(std::move(arguments), "Writing the archive");
}

void ArchiveTool::run(std::vector<std::string> arguments, const char* activity) const
{
    m_runner.run({m_tool, std::move(arguments)},
                 {.environment = utf8Environment(), .timeout = timeouts::kArchiveTool, .activity = activity});
}

} // namespace launcher
