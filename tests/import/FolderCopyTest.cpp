#include "import/FolderCopy.h"

#include "core/SetupFailure.h"
#include "import/ImportTestSupport.h"
#include "support/TemporaryFolder.h"
#include "support/Unprivileged.h"

#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;

TEST(FolderCopy, CopiesEveryFileFolderAndPermission)
{
    const TemporaryFolder folder;
    const fs::path source = testing::copyOfFixture("game/Veyra 2", folder / "source");
    fs::create_directories(source / ".empty/folder");
    std::string large(3 << 20, '\0');
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i * 7919 % 251);
    testing::writeFile(source / "data/large.pak", large);
    fs::permissions(source / "veyra2.exe", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read);

    copyFolder(source, folder / "copy");

    EXPECT_EQ(testing::treeListing(folder / "copy"), testing::treeListing(source));
    for (const auto& entry : fs::recursive_directory_iterator(source)) {
        const fs::path copy = folder / "copy" / entry.path().lexically_relative(source);
        if (entry.is_regular_file()) {
            EXPECT_EQ(testing::readFile(copy), testing::readFile(entry.path())) << copy;
        }
    }
    // The owner may always write, so that the copy can be replaced later.
    EXPECT_EQ(fs::status(folder / "copy/veyra2.exe").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::owner_exec | fs::perms::group_read);
}

TEST(FolderCopy, AFileThatCannotBeReadEndsTheCopyWithTheFileSystemsError)
{
    const TemporaryFolder folder;
    const fs::path source = testing::copyOfFixture("game/Veyra 2", folder / "source");
    fs::permissions(source / "maps/shared.map", fs::perms::none);
    const fs::path copy = folder / "copy";
    ASSERT_EQ(::chown(folder.path().c_str(), testing::unprivilegedUser(), static_cast<gid_t>(-1)), 0);

    EXPECT_EXIT(testing::exitWithFailureOfUnprivileged([&] { copyFolder(source, copy); }),
                ::testing::ExitedWithCode(0), "cannot open file: Permission denied");
}

} // namespace
} // namespace launcher
