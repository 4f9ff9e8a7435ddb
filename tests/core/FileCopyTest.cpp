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

// A copy lands in the game folder or the prefix: nobody but its owner may change it.
TEST(FileCopy, TheCopyIsWritableByItsOwnerAlone)
{
    const TemporaryFolder folder;
    const struct {
        fs::perms source;
        fs::perms copy;
    } cases[] = {
        {fs::perms(0666), fs::perms(0644)},
        {fs::perms(0777), fs::perms(0755)},
        {fs::perms(0400), fs::perms(0600)},
    };
    for (const auto& c : cases) {
        const auto name = std::to_string(static_cast<int>(c.source));
        testing::writeFile(folder / name, "content");
        fs::permissions(folder / name, c.source);
        copyFile(folder / name, folder / (name + ".copy"));
        EXPECT_EQ(fs::status(folder / (name + ".copy")).permissions(), c.copy) << name;
    }
}

} // namespace
} // namespace launcher
