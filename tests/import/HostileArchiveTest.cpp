// Archives that try to reach outside their destination, or carry links, pipes
// and devices, through both ways in: unpacking alone and the whole game import.

#include "core/Installation.h"
#include "core/SetupFailure.h"
#include "import/ArchiveSafety.h"
#include "import/GameImport.h"
#include "import/ImportTestSupport.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"
#include "support/Unprivileged.h"

#include <functional>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;

enum class Outcome { Unsafe, Refused, ToolFailed, Unreadable, Accepted, Other };

std::ostream& operator<<(std::ostream& out, Outcome outcome)
{
    constexpr const char* names[] = {"unsafe paths", "refused by the walk", "archive tool failed",
                                     "unreadable folder", "accepted", "another failure"};
    return out << names[static_cast<int>(outcome)];
}

Outcome outcomeOf(const std::function<void()>& body)
{
    try {
        body();
        return Outcome::Accepted;
    } catch (const SetupFailure& failure) {
        const std::string message = failure.what();
        if (message == "The selected archive contains unsafe file paths.")
            return Outcome::Unsafe;
        if (message == "Game imports must contain regular files and folders, without symbolic links.")
            return Outcome::Refused;
        if (message == testing::archiveToolFailure())
            return Outcome::ToolFailed;
        ADD_FAILURE() << message;
    } catch (const fs::filesystem_error& failure) {
        if (failure.code() == std::errc::permission_denied)
            return Outcome::Unreadable;
        ADD_FAILURE() << failure.what();
    }
    return Outcome::Other;
}

struct Hostile {
    std::string archive;
    Outcome asRoot;
    Outcome asPlayer;
};

// What an archive aims at, outside every destination: its content and time must stay.
struct Victim {
    explicit Victim(const fs::path& folder)
        : m_folder(folder), m_content(testing::readFile(folder / "victim.txt")),
          m_modified(fs::last_write_time(folder / "victim.txt"))
    {
    }

    void expectUntouched() const
    {
        EXPECT_EQ(testing::treeListing(m_folder), std::vector<std::string>{"victim.txt"});
        EXPECT_EQ(testing::readFile(m_folder / "victim.txt"), m_content);
        EXPECT_EQ(fs::last_write_time(m_folder / "victim.txt"), m_modified);
    }

private:
    fs::path m_folder;
    std::string m_content;
    fs::file_time_type m_modified;
};

void PrintTo(const Hostile& hostile, std::ostream* out)
{
    *out << hostile.archive;
}

class HostileArchive : public ::testing::TestWithParam<Hostile> {};

TEST_P(HostileArchive, IsRefusedAndNothingOutsideItsDestinationChanges)
{
    const Hostile& hostile = GetParam();
    const Outcome expected = ::geteuid() == 0 ? hostile.asRoot : hostile.asPlayer;
    const fs::path archive = testing::fixture("game/hostile/" + hostile.archive);
    const Victim victim(testing::fixture("game/outside/" + hostile.archive));
    const TemporaryFolder folder;
    const Installation installation = testing::testInstallation(folder / "root");

    const fs::path destination = folder / "destination";
    EXPECT_EQ(outcomeOf([&] { unpackUserArchive(installation, archive, destination); }), expected);
    if (expected == Outcome::Unsafe) {
        EXPECT_FALSE(fs::exists(destination)) << "written before the listing was vetted";
    }

    EXPECT_EQ(outcomeOf([&] { importGame(installation, archive); }), expected);
    EXPECT_EQ(testing::stagingFolders(installation.root()), std::vector<std::string>{});
    EXPECT_FALSE(fs::exists(installation.root() / "Install"));

    victim.expectUntouched();
}

std::string caseName(const ::testing::TestParamInfo<Hostile>& info)
{
    std::string name;
    for (const char c : info.param.archive)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, HostileArchive,
    ::testing::Values(
        Hostile{"absolute.tar", Outcome::Unsafe, Outcome::Unsafe},
        Hostile{"parent.tar", Outcome::Unsafe, Outcome::Unsafe},
        Hostile{"backslash-root.tar", Outcome::Unsafe, Outcome::Unsafe},
        Hostile{"backslash-parent.tar", Outcome::Unsafe, Outcome::Unsafe},
        Hostile{"backslash-parent.zip", Outcome::Unsafe, Outcome::Unsafe},
        Hostile{"drive-letter.zip", Outcome::Unsafe, Outcome::Unsafe},
        Hostile{"drive-relative.tar", Outcome::Unsafe, Outcome::Unsafe},
        Hostile{"one-unsafe-among-thousands.tar.gz", Outcome::Unsafe, Outcome::Unsafe},
        Hostile{"empty.tar", Outcome::Unsafe, Outcome::Unsafe},
        Hostile{"empty.zip", Outcome::Unsafe, Outcome::Unsafe},
        Hostile{"symlink.tar", Outcome::Refused, Outcome::Refused},
        Hostile{"hidden-symlink.tar", Outcome::Refused, Outcome::Refused},
        Hostile{"named-pipe.tar", Outcome::Refused, Outcome::Refused},
        // Only root may create device nodes; for a player the archive tool fails.
        Hostile{"device-node.tar", Outcome::Refused, Outcome::ToolFailed},
        // The walk gives the owner access to each extracted folder before entering
        // it, so root and player alike meet the link inside.
        Hostile{"locked-folder-link.tar", Outcome::Refused, Outcome::Refused},
        // The archive tool itself refuses to write through a link or to link outside.
        Hostile{"write-through-link.tar", Outcome::ToolFailed, Outcome::ToolFailed},
        Hostile{"hard-link-outside.tar", Outcome::ToolFailed, Outcome::ToolFailed},
        Hostile{"not-an-archive.bin", Outcome::ToolFailed, Outcome::ToolFailed},
        Hostile{"truncated.tar", Outcome::ToolFailed, Outcome::ToolFailed}),
    caseName);

// The same tree as a player sees it: the locked folder is opened and its link
// refused, and the staging folder that holds it is still removed.
TEST(HostileArchive, ALinkInALockedFolderEndsAPlayersImportAndItsStagingFolderIsRemoved)
{
    const TemporaryFolder folder;
    const fs::path root = testing::playersFolder(folder / "root");
    const Installation installation = testing::testInstallation(root);

    EXPECT_EXIT(testing::exitWithFailureOfUnprivileged([&] {
                    try {
                        importGame(installation, testing::fixture("game/hostile/locked-folder-link.tar"));
                    } catch (...) {
                        if (!testing::stagingFolders(root).empty())
                            throw std::runtime_error("a staging folder remains");
                        throw;
                    }
                }),
                ::testing::ExitedWithCode(0), "Game imports must contain regular files and folders, without symbolic links.");
}

// Packed from read-only media: the import can still prune the game folder, and a
// later import can still replace it.
TEST(HostileArchive, AGameFolderPackedReadOnlyImportsAndCanBeReplacedByAPlayer)
{
    const TemporaryFolder folder;
    const fs::path root = testing::playersFolder(folder / "root");
    const Installation installation = testing::testInstallation(root);

    EXPECT_EXIT(testing::exitWithFailureOfUnprivileged([&] {
                    importGame(installation, testing::fixture("game/read-only-game.tar"));
                    importGame(installation, testing::fixture("game/read-only-game.tar"));
                    if (testing::readFile(installation.game() / "veyra2config1.ini")
                            != "[VY2ConfigurationVersion:1]\nskip_intro = true\nfps_limit = 60\n"
                        || fs::exists(installation.game() / "logs"))
                        throw std::runtime_error("the game folder was not pruned");
                    throw std::runtime_error("imported twice");
                }),
                ::testing::ExitedWithCode(0), "^imported twice\n$");
}

} // namespace
} // namespace launcher
