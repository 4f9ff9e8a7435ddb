#pragma once
// The operating system's archive tool (bsdtar), run through the process runner
// with the archive tool's time-out. It recognises every format by content: xz
// tar, ZIP, Microsoft Cabinet and self-extracting Windows installers. The
// launcher never parses an archive itself. The tool inherits the launcher's
// environment, with a UTF-8 character set where that lacks one (utf8Environment()).

#include <filesystem>
#include <string>
#include <vector>

namespace launcher {

class ProcessRunner;

class ArchiveTool final {
public:
    // `runner` must outlive the tool object.
    ArchiveTool(const ProcessRunner& runner, std::filesystem::path tool) : m_runner(runner), m_tool(std::move(tool)) {}

    // Every line the tool prints, empty lines dropped, each exactly as printed.
    std::vector<std::string> list(const std::filesystem::path& archive) const;
    void extract(const std::filesystem::path& archive, const std::filesystem::path& folder) const;
    // Extracted files belong to the current user, with the user's default permissions.
    void extractOwnedByUser(const std::filesystem::path& archive, const std::filesystem::path& folder) const;
    // Only the named member, under its stored name; fails when the archive lacks it.
    void extractMember(const std::filesystem::path& archive, const std::filesystem::path& folder,
                       const std::string& member) const;
    // Writes a ZIP archive of the named members of the folder, under those names.
    void createZip(const std::filesystem::path& archive, const std::filesystem::path& folder,
                   const std::vector<std::string>& members) const;

private:
    // `activity` is what its progress says while the tool runs.
    void run(std::vector<std::string> arguments, const char* activity = "Unpacking") const;

    const ProcessRunner& m_runner;
    std::filesystem::path m_tool;
};

} // namespace launcher
