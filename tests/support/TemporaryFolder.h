#pragma once

#include <filesystem>
#include <string_view>

namespace launcher::testing {

// A fresh folder for one test, removed with everything in it afterwards.
class TemporaryFolder final {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(std::string_view relative) const { return m_path / relative; }

private:
    std::filesystem::path m_path;
};

// Writes (replacing) a file with the given content, creating its parent folders.
void writeFile(const std::filesystem::path& file, std::string_view content);
std::string readFile(const std::filesystem::path& file);

// Makes `folder`/ab/ab/… 3,000 levels deep, twice as long as any path the system
// allows, with the file "payload" at the bottom. Throws std::system_error.
void makeTreeTooDeepForPaths(const std::filesystem::path& folder);

} // namespace launcher::testing
