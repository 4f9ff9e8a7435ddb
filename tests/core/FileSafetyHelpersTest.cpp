// The small helpers that keep the launcher's files its own: which path lies in
// which folder, which permissions a placed file gets, when a log is rotated.

#include "core/LogRotation.h"
#include "core/OwnerWritable.h"
#include "core/PathWithin.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;

TEST(PathWithin, ComparesWholeComponentsOfThePathsAsTheFileSystemResolvesThem)
{
    const TemporaryFolder folder;
    fs::create_directories(folder / "games/Veyra 2/root");
    fs::create_directories(folder / "games/Veyra 2 backup");
    fs::create_directory_symlink(folder / "games/Veyra 2", folder / "shortcut");
    const struct {
        fs::path path;
        fs::path folder;
        bool within;
    } cases[] = {
        {folder / "games/Veyra 2", folder / "games/Veyra 2", true},
        {folder / "games/Veyra 2/root", folder / "games/Veyra 2/", true},
        {folder / "games/Veyra 2/root/not yet made/file", folder / "games", true},
        {folder / "games/Veyra 2 backup", folder / "games/Veyra 2", false},
        {folder / "games", folder / "games/Veyra 2", false},
        {folder / "games/Veyra 2/../Veyra 2 backup", folder / "games/Veyra 2", false},
        {folder / "shortcut/root", folder / "games/Veyra 2", true},
        {folder / "games/Veyra 2/root", folder / "shortcut", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(liesWithin(c.path, c.folder), c.within) << c.path << " in " << c.folder;
}

TEST(OwnerWritable, TakesGroupAndOtherWriteAndSpecialBitsAwayAndGivesTheOwnerAccess)
{
    const TemporaryFolder folder;
    const struct {
        bool isFolder;
        fs::perms before;
        fs::perms after;
    } cases[] = {
        {false, fs::perms(0666), fs::perms(0644)},
        {false, fs::perms(04777), fs::perms(0755)},
        {false, fs::perms(0444), fs::perms(0644)},
        {false, fs::perms(0640), fs::perms(0640)},
        {true, fs::perms(0777), fs::perms(0755)},
        {true, fs::perms(0555), fs::perms(0755)},
        {true, fs::perms(0), fs::perms(0700)},
    };
    int n = 0;
    for (const auto& c : cases) {
        const fs::path item = folder / std::to_string(n++);
        if (c.isFolder)
            fs::create_directory(item);
        else
            testing::writeFile(item, "");
        ASSERT_EQ(::chmod(item.c_str(), static_cast<mode_t>(c.before)), 0);
        makeOwnerWritable(item);
        EXPECT_EQ(fs::status(item).permissions(), c.after) << item << " was " << static_cast<int>(c.before);
    }
    // A link stays as it is, and so does what it points to.
    testing::writeFile(folder / "target", "");
    fs::permissions(folder / "target", fs::perms(0666));
    fs::create_symlink("target", folder / "link");
    makeOwnerWritable(folder / "link");
    EXPECT_EQ(fs::status(folder / "target").permissions(), fs::perms(0666));
}

TEST(LogRotation, MovesOnlyALogLargerThan16MiBAsideReplacingTheOlderOne)
{
    const TemporaryFolder folder;
    const fs::path log = folder / "setup.log";
    const fs::path older = folder / "setup.log.1";
    for (const std::uintmax_t size : {kLogRotationSize, kLogRotationSize + 1}) {
        SCOPED_TRACE(size);
        testing::writeFile(older, "older");
        testing::writeFile(log, "");
        fs::resize_file(log, size);

        rotateLog(log);
        const bool rotated = size > kLogRotationSize;
        EXPECT_EQ(fs::exists(log), !rotated);
        EXPECT_EQ(fs::file_size(older), rotated ? size : 5);
    }
    EXPECT_EQ(kLogRotationSize, 16u << 20);

    // Nothing to rotate, and nothing that is a log: left to the append that follows.
    fs::remove(log);
    EXPECT_NO_THROW(rotateLog(log));
    ASSERT_EQ(::mkfifo(log.c_str(), 0644), 0);
    EXPECT_NO_THROW(rotateLog(log));
    EXPECT_TRUE(fs::is_fifo(log));
}

} // namespace
} // namespace launcher
