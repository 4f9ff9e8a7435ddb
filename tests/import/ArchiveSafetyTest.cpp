#include "import/ArchiveSafety.h"
#include "core/Installation.h"
#include "core/SetupFailure.h"
#include "import/ImportTestSupport.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"
#include "support/Unprivileged.h"

#include <string>
#include <string_view>

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#if defined(__linux__)
#include <sys/sysmacros.h> // makedev(); macOS declares it in <sys/types.h>
#endif
#include <sys/un.h>
#include <unistd.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;

constexpr std::string_view kLinkMessage = "Game imports must contain regular files and folders, without symbolic links.";

TEST(ArchiveSafety, JudgesEntryNamesByTheirComponents)
{
    using namespace std::string_view_literals;
    const struct {
        std::string_view name;
        bool safe;
    } cases[] = {
        {"game/maps/shared.map", true}, {"./game", true},   {"game//x", true},     {"a/..b", true},
        {"...", true},                  {"a/C:", true},     {"", true},            {"game/", true},
        {"a/./b", true},                {"/etc/x", false},  {"\\x", false},        {"..", false},
        {"a/../b", false},              {"a/..", false},    {"..\\x", false},      {"C:/x", false},
        {"C:x", false},                 {"a\0b"sv, false},  {"game\\..\\..\\x", false},
    };
    for (const auto& [name, safe] : cases)
        EXPECT_EQ(safeArchiveEntry(name), safe) << '"' << name << '"';
}

TEST(ArchiveSafety, UnpacksTheDataArchiveWithHiddenEntriesIntoANewFolder)
{
    const TemporaryFolder folder;
    const Installation installation = testing::testInstallation(folder.path());
    const fs::path destination = folder / "a/b/unpacked";

    unpackUserArchive(installation, testing::fixture("game/installer/vy2pc_data.bin"), destination);

    EXPECT_EQ(testing::treeListing(destination / "Veyra 2"), testing::treeListing(testing::fixture("game/Veyra 2")));
    EXPECT_EQ(testing::readFile(destination / "Veyra 2/.cache/shaders.bin"), "hidden folder content");
    EXPECT_EQ(testing::readFile(destination / "Veyra 2/temp/directx.exe"),
              testing::readFile(testing::fixture("game/Veyra 2/temp/directx.exe")));
}

// A listing too long to be captured whole is a failed run of the archive tool,
// never a listing judged unsafe (nor, worse, safe) from the part that was read.
TEST(ArchiveSafety, AListingThatCannotBeCapturedWholeIsAFailedRunOfTheArchiveTool)
{
    const TemporaryFolder folder;
    const fs::path tool = folder / "bin/bsdtar";
    testing::writeFile(tool, "#!/bin/sh\nexec yes 'Veyra 2/maps/../../../outside'\n");
    fs::permissions(tool, fs::perms::owner_all);
    Host host = testing::testHost();
    host.archiveTool = tool;
    const Installation installation(folder / "root", {}, host);

    try {
        unpackUserArchive(installation, testing::fixture("game/installer/vy2pc_data.bin"), folder / "unpacked");
        FAIL() << "the listing was judged";
    } catch (const SetupFailure& failure) {
        EXPECT_STREQ(failure.what(), "bsdtar failed (143). Open the setup log for details. If antivirus quarantined a "
                                     "file, review its report before retrying.");
    }
    EXPECT_FALSE(fs::exists(folder / "unpacked"));
}

// Each maker puts one entry that is neither a regular file nor a folder into the tree.
using EntryMaker = void (*)(const fs::path& tree);

void makeSocket(const fs::path& tree)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = (tree / "s").string();
    ASSERT_LT(path.size(), sizeof(address.sun_path));
    path.copy(address.sun_path, path.size());
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
}

TEST(ArchiveSafety, TheWalkRefusesEverythingButRegularFilesAndFolders)
{
    const struct {
        const char* kind;
        EntryMaker make;
    } cases[] = {
        {"link to a file", [](const fs::path& t) { fs::create_symlink(t / "veyra2.exe", t / "maps/link.map"); }},
        {"link to a folder", [](const fs::path& t) { fs::create_directory_symlink("/", t / "root"); }},
        {"dangling link", [](const fs::path& t) { fs::create_symlink("missing", t / "dangling"); }},
        {"link in a hidden folder", [](const fs::path& t) { fs::create_symlink("/etc", t / ".cache/etc"); }},
        {"named pipe", [](const fs::path& t) { ASSERT_EQ(::mkfifo((t / "data/pipe").c_str(), 0644), 0); }},
        {"socket", makeSocket},
        {"device node", [](const fs::path& t) {
             ASSERT_EQ(::mknod((t / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0) << "device nodes need root";
         }},
    };
    for (const auto& [kind, make] : cases) {
        if (std::string_view(kind) == "device node" && ::geteuid() != 0)
            continue;
        SCOPED_TRACE(kind);
        const TemporaryFolder folder;
        const fs::path tree = testing::copyOfFixture("game/Veyra 2", folder / "tree");
        make(tree);
        try {
            rejectSymlinks(tree);
            ADD_FAILURE() << "accepted";
        } catch (const SetupFailure& failure) {
            EXPECT_EQ(failure.what(), kLinkMessage);
        }
    }
}

TEST(ArchiveSafety, TheWalkAcceptsRegularFilesAndFoldersHiddenOnesIncluded)
{
    const TemporaryFolder folder;
    const fs::path tree = testing::copyOfFixture("game/Veyra 2", folder / "tree");
    fs::create_directories(tree / ".hidden/.deeper/empty folder");
    EXPECT_NO_THROW(rejectSymlinks(tree));
}

TEST(ArchiveSafety, AFolderTheWalkCannotReadEndsItWithTheFileSystemsError)
{
    const TemporaryFolder folder;
    const fs::path tree = testing::copyOfFixture("game/Veyra 2", folder / "tree");
    testing::writeFile(tree / "locked/settings.dat", "x");
    fs::permissions(tree / "locked", fs::perms::none);
    const Installation installation = testing::testInstallation(folder.path());

    EXPECT_EXIT(testing::exitWithFailureOfUnprivileged([&] { rejectSymlinks(tree); }), ::testing::ExitedWithCode(0),
                "Permission denied");
}

} // namespace
} // namespace launcher
