#include "prefix/AudioCodec.h"
#include "core/FileDigest.h"
#include "core/ArchiveTool.h"
#include "core/Installation.h"
#include "core/SetupFailure.h"
#include "support/OwnerOnlyWrites.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"
#include "support/EntryNames.h"

#include <set>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::fixture;
using testing::readFile;
using testing::TemporaryFolder;
using testing::writeFile;

const std::string kNotTested = "This audio file is not the tested Microsoft WMA 9 decoder/package. Select the supported "
                               "MPSetup.exe or WMADMOD.DLL described in the setup guide.";

class AudioCodec : public ::testing::Test {
protected:
    // A copy of a generated audio file under the player's chosen name.
    fs::path playerFile(const std::string& fixtureName, const std::string& name) const
    {
        const auto file = m_folder / "chosen" / name;
        fs::create_directories(file.parent_path());
        fs::copy_file(fixture("audio/" + fixtureName), file, fs::copy_options::overwrite_existing);
        return file;
    }

    std::set<std::string> audioFolder() const { return testing::entryNames(m_root / "Audio-import"); }

    const std::string m_library = readFile(fixture("audio/WMADMOD.DLL"));
    TemporaryFolder m_folder;
    fs::path m_root = m_folder / "root";
    fs::path m_decoder = m_root / "Audio-import/wmadmod.dll";
    Installation m_installation{m_root, {}, testing::testHost()};
};

TEST_F(AudioCodec, TestedLibraryUnderAnyNameIsCopiedWithoutRunningTheArchiveTool)
{
    const auto chosen = playerFile("WMADMOD.DLL", "decoder from my backup.bin");
    EXPECT_EQ(prepareCodec(m_installation, chosen), m_decoder);
    EXPECT_EQ(readFile(m_decoder), m_library);
    EXPECT_EQ(readFile(chosen), m_library);
    EXPECT_FALSE(fs::exists(m_root / "Logs")) << "a program was run";
}

TEST_F(AudioCodec, TestedPackageYieldsTheDecoderFromOneExtractionOfItsOnlyMember)
{
    const auto package = fixture("audio/MPSetup.exe");
    EXPECT_EQ(m_installation.archiveTool().list(package), std::vector<std::string>{"WMADMOD.DLL"});

    // The archive tool behind a script that notes its arguments.
    const auto calls = m_folder / "tool-calls";
    const auto tool = m_folder / "bin/archive-tool";
    writeFile(tool, "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + calls.string() + "'\nexec '"
                        + testing::testHost().archiveTool.string() + "' \"$@\"\n");
    fs::permissions(tool, fs::perms::owner_all);
    Host host = testing::testHost();
    host.archiveTool = tool;
    const Installation installation(m_root, {}, host);

    const auto chosen = playerFile("MPSetup.exe", "media package.exe");
    EXPECT_EQ(prepareCodec(installation, chosen), m_decoder);
    EXPECT_EQ(readFile(m_decoder), m_library);
    // The member is moved to the lower-case name where letter case counts.
    EXPECT_EQ(audioFolder(), std::set<std::string>{"wmadmod.dll"});
    EXPECT_EQ(readFile(calls), "-xf\n" + chosen.string() + "\n-C\n" + (m_root / "Audio-import").string() + "\nWMADMOD.DLL\n");
}

TEST_F(AudioCodec, EachCallReplacesTheEarlierDecoderFile)
{
    writeFile(m_decoder, "an earlier decoder");
    prepareCodec(m_installation, playerFile("MPSetup.exe", "MPSetup.exe"));
    EXPECT_EQ(readFile(m_decoder), m_library);
    prepareCodec(m_installation, playerFile("WMADMOD.DLL", "WMADMOD.DLL"));
    EXPECT_EQ(readFile(m_decoder), m_library);
    EXPECT_EQ(audioFolder(), std::set<std::string>{"wmadmod.dll"});
}

TEST_F(AudioCodec, ChoosingTheEarlierResultItselfKeepsIt)
{
    prepareCodec(m_installation, playerFile("WMADMOD.DLL", "WMADMOD.DLL"));
    EXPECT_EQ(prepareCodec(m_installation, m_decoder), m_decoder);
    EXPECT_EQ(readFile(m_decoder), m_library);
}

TEST_F(AudioCodec, RefusedFilesEndInTheirMessageAndLeaveNoDecoderFile)
{
    struct Case {
        const char* what;
        std::string fixtureName;
        // Pins the media package to this fixture, so that the call gets as far as the archive tool.
        bool pinnedAsPackage;
        std::string message;
    };
    const auto tool = testing::testHost().archiveTool.filename().string();
    const Case cases[] = {
        {"wrong digest under the decoder's name", "MPSetup-other-decoder.exe", false, kNotTested},
        {"package without the member", "MPSetup-without-decoder.exe", true,
         tool + " failed (1). Open the setup log for details. If antivirus quarantined a file, review its report before "
                "retrying."},
        {"package whose member is another library", "MPSetup-other-decoder.exe", true, "Audio codec verification failed."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto chosen = playerFile(c.fixtureName, "WMADMOD.DLL");
        Constants constants = Constants::builtIn();
        if (c.pinnedAsPackage)
            constants.mediaPackageHash = sha256Of(chosen);
        const Installation installation(m_root, {}, testing::testHost(), constants);
        prepareCodec(installation, playerFile("WMADMOD.DLL", "earlier.dll"));

        try {
            prepareCodec(installation, chosen);
            ADD_FAILURE() << "the file was accepted";
        } catch (const SetupFailure& failure) {
            EXPECT_EQ(failure.what(), c.message);
        }
        EXPECT_FALSE(fs::exists(fs::symlink_status(m_decoder)));
        EXPECT_EQ(audioFolder().count("WMADMOD.DLL"), 0u);
    }
}

TEST_F(AudioCodec, AMissingFileIsTheFileSystemErrorAndCreatesNothing)
{
    EXPECT_THROW(prepareCodec(m_installation, m_folder / "missing.dll"), fs::filesystem_error);
    EXPECT_FALSE(fs::exists(m_root));
}

// Nothing else can be the tested file, so nothing else is read: a named pipe or
// a device would stall setup, and a huge file would cost a long digest.
TEST_F(AudioCodec, AnythingButARegularFileOfAtMost64MiBIsRefusedUnread)
{
    const auto sizedFile = [this](std::uintmax_t size) {
        const fs::path file = m_folder / ("sized-" + std::to_string(size));
        writeFile(file, "");
        fs::resize_file(file, size);
        return file;
    };
    fs::create_directories(m_folder / "a folder");
    ASSERT_EQ(::mkfifo((m_folder / "a pipe").c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", m_folder / "endless");
    const struct {
        fs::path chosen;
        bool accepted;
    } cases[] = {
        {m_folder / "a folder", false},
        {m_folder / "a pipe", false},
        {m_folder / "endless", false},
        // Pinned as the decoder, so that only the size can refuse them.
        {sizedFile((std::uintmax_t{64} << 20) + 1), false},
        {sizedFile(std::uintmax_t{64} << 20), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen.string());
        fs::remove_all(m_root);
        Constants constants = Constants::builtIn();
        if (fs::is_regular_file(c.chosen))
            constants.codecHash = sha256Of(c.chosen);
        const Installation installation(m_root, {}, testing::testHost(), constants);
        try {
            EXPECT_EQ(prepareCodec(installation, c.chosen), m_decoder);
            EXPECT_TRUE(c.accepted);
        } catch (const SetupFailure& failure) {
            EXPECT_FALSE(c.accepted);
            EXPECT_EQ(failure.what(), kNotTested);
            EXPECT_FALSE(fs::exists(m_root));
        }
    }
}

// As root the archive tool gives a cabinet's members mode 0666, and a copy would
// take the player's mode: the decoder the game loads stays the owner's alone.
TEST_F(AudioCodec, TheDecoderFileIsWritableByItsOwnerAlone)
{
    for (const char* name : {"MPSetup.exe", "WMADMOD.DLL"}) {
        SCOPED_TRACE(name);
        const auto chosen = playerFile(name, name);
        fs::permissions(chosen, fs::perms(0666));
        prepareCodec(m_installation, chosen);
        EXPECT_EQ(testing::notWritableByOwnerAlone(m_decoder), std::vector<std::string>{});
    }
}

} // namespace
} // namespace launcher
