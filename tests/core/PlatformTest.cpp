#include "core/Platform.h"
#include "support/TemporaryFolder.h"
#include "support/TestPlatform.h"

#include <gtest/gtest.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TemporaryFolder;
using testing::writeFile;

TEST(Platform, AnExchangeSwapsTwoEntriesOrReportsThatTheFileSystemCannot)
{
    const TemporaryFolder folder;
    writeFile(folder / "live/slot.sav", "old");
    writeFile(folder / "copy/slot.sav", "new");
    writeFile(folder / "file", "a file");

    if (!platform::exchangePaths(folder / "copy", folder / "live"))
        GTEST_SKIP() << "this file system cannot exchange";
    EXPECT_EQ(readFile(folder / "live/slot.sav"), "new");
    EXPECT_EQ(readFile(folder / "copy/slot.sav"), "old");
    // A folder and a file trade places too.
    ASSERT_TRUE(platform::exchangePaths(folder / "file", folder / "copy"));
    EXPECT_EQ(readFile(folder / "copy"), "a file");
    EXPECT_EQ(readFile(folder / "file/slot.sav"), "old");

    EXPECT_THROW(platform::exchangePaths(folder / "absent", folder / "live"), fs::filesystem_error);
    EXPECT_EQ(readFile(folder / "live/slot.sav"), "new");
}

// How the quarantine a browser sets is lifted from a verified archive, shown
// with an attribute of the user's own, which both systems accept.
TEST(Platform, RemovingAnAttributeLeavesTheFileAndItsOtherAttributes)
{
    const TemporaryFolder folder;
    const fs::path archive = folder / "engine.tar.xz";
    writeFile(archive, "archive");
    if (!testing::setAttribute(archive, "user.veyra2.mark", "from a browser"))
        GTEST_SKIP() << "this file system keeps no user attributes";
    ASSERT_TRUE(testing::setAttribute(archive, "user.veyra2.other", "kept"));

    platform::removeAttribute(archive, "user.veyra2.mark");
    EXPECT_FALSE(testing::hasAttribute(archive, "user.veyra2.mark"));
    EXPECT_TRUE(testing::hasAttribute(archive, "user.veyra2.other"));
    EXPECT_EQ(readFile(archive), "archive");
    // An attribute that is not there is no failure; a file that is not there is.
    EXPECT_NO_THROW(platform::removeAttribute(archive, "user.veyra2.mark"));
    EXPECT_THROW(platform::removeAttribute(folder / "absent", "user.veyra2.mark"), fs::filesystem_error);
}

} // namespace
} // namespace launcher
