#include "core/StagingFolder.h"
#include "support/TemporaryFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;
using testing::writeFile;

TEST(StagingFolder, IsMadeUnderTheRootWithItsPrefixAndRemovedWithEverythingInIt)
{
    const TemporaryFolder root;
    fs::path made;
    {
        const StagingFolder staging(root.path(), "Game-staging-");
        made = staging.path();
        EXPECT_EQ(made.parent_path(), root.path());
        EXPECT_TRUE(made.filename().string().starts_with("Game-staging-"));
        EXPECT_EQ(made.filename().string().size(), std::string("Game-staging-").size() + 36);
        writeFile(made / "Imported/game/maps/shared.map", "map");
    }
    EXPECT_FALSE(fs::exists(made));
}

TEST(StagingFolder, OnlyThePrefixAndAnUpperCaseUuidAreAStagingName)
{
    const struct {
        const char* name;
        bool staging;
    } cases[] = {
        {"Game-staging-0A3F5D2E-1111-4222-8333-123456789ABC", true},
        {"Game-staging-0a3f5d2e-1111-4222-8333-123456789abc", false},
        {"Game-staging-0A3F5D2E-1111-4222-8333-123456789ABCD", false},
        {"Game-staging-0A3F5D2E11114222-8333-123456789ABC-", false},
        {"Game-staging-0A3F5D2E-1111-4222-8333-123456789ABG", false},
        {"Game-staging-", false},
        {"Game-staging-mine", false},
        {"Runtime-staging-0A3F5D2E-1111-4222-8333-123456789ABC", false},
    };
    for (const auto& example : cases)
        EXPECT_EQ(isStagingName(example.name, "Game-staging-"), example.staging) << example.name;
    const TemporaryFolder root;
    const StagingFolder made(root.path(), "Game-staging-");
    EXPECT_TRUE(isStagingName(made.path().filename().string(), "Game-staging-"));
}

TEST(StagingFolder, RemovalFollowsNoLinkAndGetsThroughFoldersWithoutPermissions)
{
    const TemporaryFolder root;
    writeFile(root / "outside/victim.txt", "keep me");
    fs::path made;
    {
        const StagingFolder staging(root.path(), "Game-staging-");
        made = staging.path();
        fs::create_directory_symlink(root / "outside", made / "link to folder");
        fs::create_symlink(root / "outside/victim.txt", made / "link to file");
        writeFile(made / "closed/inner/file", "x");
        fs::permissions(made / "closed/inner", fs::perms::none);
        fs::permissions(made / "closed", fs::perms::none);
    }
    EXPECT_FALSE(fs::exists(made));
    EXPECT_EQ(testing::readFile(root / "outside/victim.txt"), "keep me");
}

TEST(StagingFolder, RemovalGetsThroughATreeDeeperThanAnyPathMayBe)
{
    const TemporaryFolder root;
    fs::path made;
    {
        const StagingFolder staging(root.path(), "Game-staging-");
        made = staging.path();
        // 3,000 levels of "ab/" make paths twice as long as the system allows.
        fs::create_directory(made / "ab");
        int fd = ::open((made / "ab").c_str(), O_RDONLY | O_DIRECTORY);
        for (int level = 0; level < 3000; ++level) {
            ASSERT_EQ(::mkdirat(fd, "ab", 0755), 0);
            const int next = ::openat(fd, "ab", O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = next;
        }
        ::close(::openat(fd, "payload", O_WRONLY | O_CREAT, 0644));
        ::close(fd);
    }
    EXPECT_FALSE(fs::exists(made));
}

} // namespace
} // namespace launcher
