#include "core/Posix.h"

#include "support/TemporaryFolder.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;

bool isOpen(int fd)
{
    return ::fcntl(fd, F_GETFD) != -1;
}

TEST(Posix, FileDescriptorClosesOnceWhenDroppedAndMovesOwnership)
{
    int raw = -1;
    {
        FileDescriptor first(::open("/dev/null", O_RDONLY | O_CLOEXEC));
        raw = first.get();
        ASSERT_TRUE(isOpen(raw));
        FileDescriptor second = std::move(first);
        EXPECT_FALSE(first);
        EXPECT_EQ(second.get(), raw);
    }
    EXPECT_FALSE(isOpen(raw));

    FileDescriptor kept(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    const int released = kept.release();
    EXPECT_TRUE(isOpen(released));
    ::close(released);
    EXPECT_EQ(FileDescriptor().close(), 0);
}

TEST(Posix, FileErrorKeepsThePathAndTheErrno)
{
    try {
        throwFileError("cannot open file", "/some/where", EACCES);
        FAIL() << "nothing was thrown";
    } catch (const fs::filesystem_error& error) {
        EXPECT_EQ(error.path1(), "/some/where");
        EXPECT_EQ(error.code(), std::errc::permission_denied);
    }
}

TEST(Posix, RemoveUnlessCommittedRemovesOnlyUncommittedFiles)
{
    const TemporaryFolder folder;
    testing::writeFile(folder / "dropped", "x");
    testing::writeFile(folder / "kept", "x");
    {
        const RemoveUnlessCommitted dropped(folder / "dropped");
        RemoveUnlessCommitted kept(folder / "kept");
        kept.commit();
        const RemoveUnlessCommitted absent(folder / "never made");
    }
    EXPECT_FALSE(fs::exists(folder / "dropped"));
    EXPECT_TRUE(fs::exists(folder / "kept"));
}

TEST(Posix, ExistsQuietlyCountsWhatCannotBeExaminedAsAbsent)
{
    const TemporaryFolder folder;
    testing::writeFile(folder / "file", "x");
    fs::create_symlink("nowhere", folder / "dangling");
    EXPECT_TRUE(existsQuietly(folder / "file"));
    EXPECT_FALSE(existsQuietly(folder / "dangling"));
    EXPECT_FALSE(existsQuietly(folder / "file/below a file"));
    EXPECT_FALSE(existsQuietly(std::string(5000, 'a')));
}

// The same, but a link is an entry of its own, wherever it leads.
TEST(Posix, PresentQuietlyCountsALinkWithoutFollowingIt)
{
    const TemporaryFolder folder;
    testing::writeFile(folder / "file", "x");
    fs::create_symlink("nowhere", folder / "dangling");
    EXPECT_TRUE(presentQuietly(folder / "file"));
    EXPECT_TRUE(presentQuietly(folder / "dangling"));
    EXPECT_FALSE(presentQuietly(folder / "absent"));
    EXPECT_FALSE(presentQuietly(folder / "file/below a file"));
    EXPECT_FALSE(presentQuietly(std::string(5000, 'a')));
}

} // namespace
} // namespace launcher
