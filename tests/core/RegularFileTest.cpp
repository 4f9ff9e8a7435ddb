#include "core/RegularFile.h"

#include "support/TemporaryFolder.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;

// The errno a call ended with, 0 when it opened the file.
template <typename Call>
int errorOf(Call call)
{
    try {
        call();
        return 0;
    } catch (const fs::filesystem_error& error) {
        return error.code().value();
    }
}

// Every kind of thing that can sit where the launcher expects a file.
class RegularFileKinds : public ::testing::Test {
protected:
    RegularFileKinds()
    {
        testing::writeFile(m_folder / "file", "12345");
        fs::create_symlink("file", m_folder / "link");
        fs::create_symlink("/dev/zero", m_folder / "endless");
        fs::create_directory(m_folder / "folder");
        EXPECT_EQ(::mkfifo((m_folder / "pipe").c_str(), 0644), 0);
    }

    TemporaryFolder m_folder;
};

TEST_F(RegularFileKinds, OnlyARegularFileWithinItsLimitIsOpenedAndNothingWaits)
{
    struct Case {
        const char* name;
        RegularFileRules rules;
        // 0: opened; EINVAL, EFBIG: refused; anything else: thrown by both calls.
        int outcome;
    };
    const Case cases[] = {
        {"file", {}, 0},
        {"file", {.maxSize = 5}, 0},
        {"file", {.maxSize = 4}, EFBIG},
        {"link", {}, 0},
        {"link", {.followLinks = false}, ELOOP},
        {"endless", {}, EINVAL},
        {"folder", {}, EINVAL},
        {"pipe", {}, EINVAL},
        {"missing", {}, ENOENT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " limit " + std::to_string(c.rules.maxSize));
        const fs::path path = m_folder / c.name;
        const bool refused = c.outcome == EINVAL || c.outcome == EFBIG;
        EXPECT_EQ(errorOf([&] { EXPECT_EQ(openIfRegular(path, c.rules).has_value(), c.outcome == 0); }),
                  refused ? 0 : c.outcome);
        EXPECT_EQ(errorOf([&] { openRegular(path, c.rules); }), c.outcome);
        if (c.outcome == 0)
            EXPECT_EQ(readRegular(path, c.rules), "12345");
    }
}

TEST_F(RegularFileKinds, AppendingCreatesOrExtendsARegularFileOnlyAndHandsOutABlockingDescriptor)
{
    for (const char* name : {"file", "new"}) {
        SCOPED_TRACE(name);
        const FileDescriptor log = openRegularForAppending(m_folder / name);
        EXPECT_EQ(::write(log.get(), "+", 1), 1);
        EXPECT_EQ(::fcntl(log.get(), F_GETFL) & O_NONBLOCK, 0) << "programs writing to it expect blocking output";
    }
    EXPECT_EQ(testing::readFile(m_folder / "file"), "12345+");
    EXPECT_EQ(testing::readFile(m_folder / "new"), "+");

    // A pipe without a reader would block an ordinary open; with one it is still no file.
    EXPECT_EQ(errorOf([&] { openRegularForAppending(m_folder / "pipe"); }), ENXIO);
    const FileDescriptor reader(::open((m_folder / "pipe").c_str(), O_RDONLY | O_NONBLOCK));
    EXPECT_EQ(errorOf([&] { openRegularForAppending(m_folder / "pipe"); }), EINVAL);
    EXPECT_EQ(errorOf([&] { openRegularForAppending(m_folder / "link"); }), ELOOP);
    EXPECT_EQ(errorOf([&] { openRegularForAppending(m_folder / "endless"); }), ELOOP);
    EXPECT_EQ(testing::readFile(m_folder / "file"), "12345+");
}

} // namespace
} // namespace launcher
