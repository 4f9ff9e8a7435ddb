#include "core/ArchiveTool.h"

#include "core/Installer.h"

namespace launcher {
namespace {

constexpr double kTimeout = 900;

} // namespace

std::vector<std::string> ArchiveTool::list(const std::filesystem::path& archive) const
{
    const std::string text =
        m_installer.run(m_installer.constants().archiveTool, {"-tf", archive.string()}, std::nullopt, std::nullopt, true, kTimeout);
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
    m_installer.run(m_installer.constants().archiveTool, {"-xf", archive.string(), "-C", folder.string()},
                    std::nullopt, std::nullopt, false, kTimeout);
}

void ArchiveTool::extractOwnedByUser(const std::filesystem::path& archive, const std::filesystem::path& folder) const
{
    m_installer.run(m_installer.constants().archiveTool,
                    {"-xf", archive.string(), "-C", folder.string(), "--no-same-owner", "--no-same-permissions"},
                    std::nullopt, std::nullopt, false, kTimeout);
}

void ArchiveTool::extractMember(const std::filesystem::path& archive, const std::filesystem::path& folder,
                                const std::string& member) const
{
    m_installer.run(m_installer.constants().archiveTool, {"-xf", archive.string(), "-C", folder.string(), member},
                    std::nullopt, std::nullopt, false, kTimeout);
}

} // namespace launcher
