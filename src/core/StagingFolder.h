#pragma once
// Work that can fail halfway happens in a staging folder directly under the
// root, named by a fixed prefix and a fresh UUID, and removed on every exit.
//
//   StagingFolder staging(installer.root(), "Game-staging-");
//   ... work in staging.path() ...
//   // removed when `staging` goes out of scope, success or not

#include <filesystem>
#include <string_view>

namespace launcher {

class StagingFolder final {
public:
    // Creates the folder; throws std::filesystem::filesystem_error.
    StagingFolder(const std::filesystem::path& root, std::string_view prefix);
    ~StagingFolder();

    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Removes a file or a whole tree without following symbolic links, also when it
// holds folders without permissions; failures are ignored. Used for clean-up only.
void removeTreeQuietly(const std::filesystem::path& path) noexcept;

// Removes a file or a whole tree as removeTreeQuietly() does, giving the owner
// access to each folder on the way, so that a read-only folder that the player's
// game or an archive made does not stop a setup halfway. What still cannot be
// removed is thrown as the file system's error.
void removeTree(const std::filesystem::path& path);

} // namespace launcher
