#include "app/EntrySize.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;
using testing::writeFile;

// A folder's size is its files' bytes: a file linked twice counts once, and a
// link leads nowhere, however large what it names.
TEST(EntrySize, CountsEachFileOnceAndFollowsNoLink)
{
    const TemporaryFolder folder;
    writeFile(folder / "outside/large.bin", std::string(10'000, 'x'));
    writeFile(folder / "entry/a.txt", std::string(300, 'a'));
    writeFile(folder / "entry/deeper/b.txt", std::string(20, 'b'));
    fs::create_hard_link(folder / "entry/a.txt", folder / "entry/deeper/a again.txt");
    fs::create_symlink(folder / "outside/large.bin", folder / "entry/link to a file");
    fs::create_directory_symlink(folder / "outside", folder / "entry/link to a folder");

    EXPECT_EQ(entrySize(folder / "entry"), 320u);
    EXPECT_EQ(entrySize(folder / "entry/a.txt"), 300u);
    EXPECT_EQ(entrySize(folder / "entry/link to a folder"), 0u);
    EXPECT_EQ(entrySize(folder / "absent"), 0u);
}

} // namespace
} // namespace launcher
