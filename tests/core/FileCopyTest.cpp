#include "core/FileCopy.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;

TEST(FileCopy, RefusesLinksPipesAndExistingTargets)
{
    const TemporaryFolder folder;
    testing::writeFile(folder / "file", "content");
    testing::writeFile(folder / "existing", "keep me");
    fs::create_symlink("file", folder / "link");
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0644), 0);

    for (const char* source : {"link", "pipe"}) {
        EXPECT_THROW(copyFile(folder / source, folder / "target"), fs::filesystem_error) << source;
        EXPECT_FALSE(fs::exists(folder / "target")) << source;
    }
    EXPECT_THROW(copyFile(folder / "file", folder / "existing"), fs::filesystem_error);
    EXPECT_EQ(testing::readFile(folder / "existing"), "keep me");
    EXPECT_FALSE(copyFile(folder / "file", folder / "copy").empty());
    EXPECT_EQ(testing::readFile(folder / "copy"), "content");
}

TEST(FileCopy, CountsItsBytesInTheTallyAndStopsWhenAbandoned)
{
    const TemporaryFolder folder;
    const std::string content(3 * 1024 * 1024 + 17, 'v');
    testing::writeFile(folder / "file", content);

    CopyTally tally;
    copyFile(folder / "file", folder / "copy", &tally);
    EXPECT_EQ(tally.bytes, content.size());
    EXPECT_EQ(testing::readFile(folder / "copy"), content);

    tally.abandon = true;
    try {
        copyFile(folder / "file", folder / "abandoned", &tally);
        FAIL() << "an abandoned copy went on";
    } catch (const fs::filesystem_error& error) {
        EXPECT_EQ(error.code(), std::errc::operation_canceled);
    }
    EXPECT_FALSE(fs::exists(folder / "abandoned"));
}

} // namespace
} // namespace launcher
