#include "core/Platform.h"
#include "support/TemporaryFolder.h"

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

} // namespace
} // namespace launcher
