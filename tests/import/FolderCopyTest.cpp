#include "import/FolderCopy.h"

#include "core/SetupFailure.h"
#include "core/StopRequest.h"
#include "import/ImportTestSupport.h"
#include "support/TemporaryFolder.h"
#include "support/Unprivileged.h"

#include <string>
#include <utility>
#include <vector>

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

TEST(FolderCopy, TheWatchFollowsTheBytesCopiedOfTheTotalAndMayEndTheCopy)
{
    const TemporaryFolder folder;
    const fs::path source = testing::copyOfFixture("game/Veyra 2", folder / "source");
    testing::writeFile(source / "data/large.pak", std::string(3 << 20, 'x'));
    std::uintmax_t total = 0;
    for (const auto& entry : fs::recursive_directory_iterator(source))
        if (entry.is_regular_file())
            total += entry.file_size();

    std::vector<std::pair<std::uint64_t, std::uint64_t>> looks;
    copyFolder(source, folder / "copy", [&](std::uint64_t copied, std::uint64_t all) { looks.emplace_back(copied, all); });
    ASSERT_FALSE(looks.empty());
    for (std::size_t i = 1; i < looks.size(); ++i)
        EXPECT_GE(looks[i].first, looks[i - 1].first);
    EXPECT_EQ(looks.back(), std::make_pair(std::uint64_t{total}, std::uint64_t{total}));

    try {
        copyFolder(source, folder / "stopped", [](std::uint64_t, std::uint64_t) { throw SetupStopped(); });
        FAIL() << "the watch's failure was lost";
    } catch (const SetupStopped&) {
    }
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
