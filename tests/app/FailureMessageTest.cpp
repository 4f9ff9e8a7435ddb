#include "app/FailureMessage.h"

#include "app/ForeignRoot.h"
#include "app/OutputNotWritten.h"
#include "core/SetupFailure.h"
#include "saves/UnknownSnapshot.h"
#include "support/EntryLock.h"
#include "support/ScopedEnvironmentVariable.h"
#include "support/TemporaryFolder.h"

#include <cerrno>
#include <functional>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;

fs::filesystem_error fileError(const std::string& what, const std::string& path1, const std::string& path2, int code)
{
    const std::error_code error(code, std::generic_category());
    if (path2.empty())
        return fs::filesystem_error(what, path1, error);
    return fs::filesystem_error(what, path1, path2, error);
}

// Each file fault becomes one plain sentence naming what could not be done,
// where, why and the way out, with the system's own words for the cause as
// details, in the words of either standard library.
TEST(FailureMessage, FileFailuresBecomeAPlainSentenceWithTheSystemsWordsAsDetails)
{
    struct Case {
        const char* name;
        const char* what;
        const char* path1;
        const char* path2;
        int code;
        const char* sentence;
        const char* details;
    };
    const Case cases[] = {
        {"a file where a folder goes", "cannot create directories", "/home/p/Veyra2MacLauncher/Downloads", "", ENOTDIR,
         "The launcher could not create the folder /home/p/Veyra2MacLauncher/Downloads: a file of that name is in the way. "
         "Move it aside, then retry.",
         "Not a directory"},
        {"an existing name", "cannot create directory", "/r/Logs", "", EEXIST,
         "The launcher could not create the folder /r/Logs: a file of that name is in the way. Move it aside, then retry.",
         "File exists"},
        {"libc++ naming, permission", "in create_directories", "/r", "", EACCES,
         "The launcher could not create the folder /r: permission denied. Give your user account access to it, then retry.",
         "Permission denied"},
        {"copy between two paths", "cannot copy file", "/src/vy2pc_data.bin", "/r/Game-staging/x", EPERM,
         "The launcher could not copy /src/vy2pc_data.bin to /r/Game-staging/x: permission denied. Give your user account "
         "access to it, then retry.",
         "Operation not permitted"},
        {"disk full", "cannot write file", "/r/installed.json", "", ENOSPC,
         "The launcher could not write /r/installed.json: the disk is full. Free some space, then retry.",
         "No space left on device"},
        {"read-only disk", "cannot create file", "/r/x", "", EROFS,
         "The launcher could not create the file /r/x: the disk is read-only. Make the disk writable, then retry.",
         "Read-only file system"},
        {"gone", "cannot open file", "/Volumes/Game/vy2pc_data.bin", "", ENOENT,
         "The launcher could not open /Volumes/Game/vy2pc_data.bin: it does not exist. Check that it is still there, then "
         "retry.",
         "No such file or directory"},
        {"folder listing", "directory iterator cannot open directory", "/src/Game", "", EACCES,
         "The launcher could not read the folder /src/Game: permission denied. Give your user account access to it, then "
         "retry.",
         "Permission denied"},
        {"words in the path do not count", "cannot remove all", "/copy/rename/Runtime-staging-1", "", EBUSY,
         "The launcher could not remove /copy/rename/Runtime-staging-1: it is in use. Close what uses it, then retry.",
         "Device or resource busy"},
        {"another reason, told by the system", "cannot rename", "/r/a", "/Volumes/b", EXDEV,
         "The launcher could not move /r/a to /Volumes/b: invalid cross-device link. Open Logs for details.",
         "Invalid cross-device link"},
        {"an unknown operation", "cannot frobnicate", "/r/a", "", EIO,
         "The launcher could not use /r/a: the disk reported an error. Check the disk, then retry.", "Input/output error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FailureMessage message = failureMessage(fileError(c.what, c.path1, c.path2, c.code), FrontEnd::window);
        EXPECT_EQ(message.sentence, c.sentence);
        EXPECT_EQ(message.details, c.details);
    }
}

TEST(FailureMessage, AFileInTheWayOfAFolderIsNamed)
{
    const TemporaryFolder root;
    testing::writeFile(root / "Veyra2MacLauncher", "");
    const fs::path wanted = root / "Veyra2MacLauncher/Logs";
    std::error_code error;
    fs::create_directories(wanted, error);
    ASSERT_EQ(error, std::make_error_code(std::errc::not_a_directory));

    const FailureMessage message =
        failureMessage(fs::filesystem_error("cannot create directories", wanted, error), FrontEnd::window);
    EXPECT_EQ(message.sentence, "The launcher could not create the folder " + wanted.string() + ": the file " +
                                    (root / "Veyra2MacLauncher").string() + " is in the way. Move it aside, then retry.");
    EXPECT_EQ(message.details, "Not a directory");
}

// What refuses an operation that permissions allow (EPERM) and that the player
// can lift is named with its way out: a lock on the file or on its folder, and
// on macOS the privacy protection of the Desktop, Documents and Downloads.
TEST(FailureMessage, ARefusalByALockOrByPrivacyProtectionSaysSo)
{
    const TemporaryFolder root;
    const testing::ScopedEnvironmentVariable home("HOME", root.path().string());
    testing::writeFile(root / "game/locked.sav", "");
    testing::writeFile(root / "saves/in a locked folder.sav", "");
    testing::writeFile(root / "Documents/Veyra 2/slot1.sav", "");
    const auto sentence = [](const fs::path& path) {
        return failureMessage(fs::filesystem_error("cannot remove", path, std::error_code(EPERM, std::generic_category())),
                              FrontEnd::commandLine)
            .sentence;
    };
    const std::string unlock = " Unlock it in its Get Info window in Finder, then retry.";

#if defined(__APPLE__)
    EXPECT_EQ(sentence(root / "Documents/Veyra 2/slot1.sav"),
              "The launcher could not remove " + (root / "Documents/Veyra 2/slot1.sav").string() +
                  ": macOS did not allow the launcher into that folder. Allow Veyra 2 Mac Launcher in System Settings "
                  "› Privacy & Security › Files and Folders, then retry.");
#else
    EXPECT_EQ(sentence(root / "Documents/Veyra 2/slot1.sav"),
              "The launcher could not remove " + (root / "Documents/Veyra 2/slot1.sav").string() +
                  ": permission denied. Give your user account access to it, then retry.");
#endif
    EXPECT_EQ(sentence(root / "game/locked.sav"), "The launcher could not remove " + (root / "game/locked.sav").string() +
                                                      ": permission denied. Give your user account access to it, then "
                                                      "retry.");

    const testing::EntryLock file(root / "game/locked.sav", testing::LockKind::superuser);
    const testing::EntryLock folder(root / "saves", testing::LockKind::superuser);
    if (!file || !folder)
        GTEST_SKIP() << "only the superuser can lock a file beyond its owner's reach";
    EXPECT_EQ(sentence(root / "game/locked.sav"),
              "The launcher could not remove " + (root / "game/locked.sav").string() + ": it is locked." + unlock);
    EXPECT_EQ(sentence(root / "saves/in a locked folder.sav"),
              "The launcher could not remove " + (root / "saves/in a locked folder.sav").string() + ": the folder " +
                  (root / "saves").string() + " is locked." + unlock);
}

// The same fault in each front end's words: the command line names its options
// and prints the details below; the window names its own controls.
TEST(FailureMessage, EachFrontEndGetsItsOwnWayOut)
{
    struct Case {
        const char* name;
        std::function<FailureMessage(FrontEnd)> message;
        std::string commandLine;
        std::string window;
    };
    const std::vector<Case> cases{
        {"a folder the launcher did not make",
         [](FrontEnd frontEnd) { return failureMessage(ForeignRoot("/home/p/Projects"), frontEnd); },
         "The folder /home/p/Projects already holds other files. Choose an empty or new folder for --home.",
         "The folder /home/p/Projects already holds other files. Choose an empty or new folder."},
        {"an unknown snapshot",
         [](FrontEnd frontEnd) { return failureMessage(UnknownSnapshot("Saves-20261210T141503Z"), frontEnd); },
         "No saved snapshot is called Saves-20261210T141503Z. See the names with --saves.",
         "No saved snapshot is called Saves-20261210T141503Z. It was removed meanwhile: open Restore Saves… again to "
         "choose another."},
        {"an unexpected failure",
         [](FrontEnd frontEnd) {
             return failureMessage(
                 std::system_error(std::make_error_code(std::errc::no_such_file_or_directory), "Cannot start /usr/bin/tar"),
                 frontEnd);
         },
         "The launcher ran into an unexpected problem. See the details below.",
         "The launcher ran into an unexpected problem. Open Logs for details."},
        {"a file fault of no known reason",
         [](FrontEnd frontEnd) { return failureMessage(fileError("cannot rename", "/r/a", "/b", EXDEV), frontEnd); },
         "The launcher could not move /r/a to /b: invalid cross-device link. See the details below.",
         "The launcher could not move /r/a to /b: invalid cross-device link. Open Logs for details."},
        {"the runtime update",
         [](FrontEnd frontEnd) { return FailureMessage{runtimeUpdateNews(frontEnd), {}}; },
         "A newer compatibility runtime is available. Update it with --repair.",
         "A newer compatibility runtime is available."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.message(FrontEnd::commandLine).sentence, c.commandLine);
        EXPECT_EQ(c.message(FrontEnd::window).sentence, c.window);
        EXPECT_EQ(c.message(FrontEnd::window).sentence.find("--"), std::string::npos);
    }
}

TEST(FailureMessage, OwnSentencesStandAndOtherFailuresKeepTheirText)
{
    const FailureMessage own = failureMessage(
        SetupFailure("The runtime is incomplete. Check whether antivirus quarantined any files."), FrontEnd::window);
    EXPECT_EQ(own.sentence, "The runtime is incomplete. Check whether antivirus quarantined any files.");
    EXPECT_EQ(own.details, "");

    const FailureMessage other = failureMessage(
        std::system_error(std::make_error_code(std::errc::no_such_file_or_directory), "Cannot start /usr/bin/tar"),
        FrontEnd::window);
    EXPECT_EQ(other.details, "Cannot start /usr/bin/tar: No such file or directory");

    const FailureMessage output = failureMessage(OutputNotWritten(ENOSPC), FrontEnd::commandLine);
    EXPECT_EQ(output.sentence, "The launcher could not write its output. Check where it goes, then retry.");
    EXPECT_EQ(output.details, "No space left on device");
}

TEST(FailureMessage, LogLinesAreAppendedBelowANewFolder)
{
    const TemporaryFolder root;
    appendToLog(root / "Logs/setup.log", "first");
    appendToLog(root / "Logs/setup.log", "second");
    EXPECT_EQ(testing::readFile(root / "Logs/setup.log"), "first\nsecond\n");

    // A log that cannot be written is passed over without a word.
    testing::writeFile(root / "file", "");
    appendToLog(root / "file/Logs/setup.log", "lost");
    EXPECT_EQ(testing::readFile(root / "file"), "");
}

} // namespace
} // namespace launcher
