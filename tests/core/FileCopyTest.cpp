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

} // namespace
} // namespace launcher
