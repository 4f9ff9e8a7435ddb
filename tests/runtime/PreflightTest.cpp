#include "runtime/Preflight.h"
#include "core/Installation.h"
#include "core/SetupFailure.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace launcher {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;

constexpr const char* kNewline = "The installation path contains an unsupported newline.";
constexpr const char* kDiskSpace = "Setup needs at least 12 GB of available disk space. Free some space and retry.";
constexpr const char* kRosetta = "This Mac needs Rosetta before it can run the compatibility engine. Install it in "
                                 "Terminal with softwareupdate --install-rosetta --agree-to-license, then retry. The "
                                 "setup guide includes instructions.";

enum class Check { Passes, ExitsNonZero, Missing };

// Runs preflight with an injected free-space figure and x86_64 check, and
// notes whether each of the two was consulted.
struct PreflightRun {
    std::optional<std::string> failure;
    bool spaceAsked = false;
    bool checkRan = false;
};

PreflightRun runPreflight(const fs::path& root, std::optional<std::uintmax_t> space, Check check)
{
    PreflightRun result;
    Host host = testing::testHost();
    host.availableSpace = [&](const fs::path& folder) {
        EXPECT_EQ(folder, root);
        result.spaceAsked = true;
        return space;
    };
    const fs::path marker = root.parent_path() / "check-ran";
    switch (check) {
    case Check::Passes:
        host.x86_64Check = {"/usr/bin/touch", {marker.string()}};
        break;
    case Check::ExitsNonZero:
        host.x86_64Check = {"/bin/sh", {"-c", "touch \"$0\"; exit 1", marker.string()}};
        break;
    case Check::Missing:
        host.x86_64Check = {root.parent_path() / "no-such-tool", {}};
        break;
    }
    try {
        preflight(Installation(root, {}, host));
    } catch (const SetupFailure& failure) {
        result.failure = failure.what();
    }
    result.checkRan = fs::exists(marker);
    return result;
}

TEST(Preflight, ChecksRunInOrderAndStopAtTheFirstFailure)
{
    struct Case {
        const char* name;
        const char* folder;
        std::optional<std::uintmax_t> space;
        Check check;
        const char* failure;
        bool spaceAsked;
        bool checkRan;
    };
    const Case cases[] = {
        {"all pass", "root", 100'000'000'000, Check::Passes, nullptr, true, true},
        {"exactly 12 GB", "root", 12'000'000'000, Check::Passes, nullptr, true, true},
        {"no free-space figure", "root", std::nullopt, Check::Passes, nullptr, true, true},
        {"newline before space", "line\nfeed", 1, Check::ExitsNonZero, kNewline, false, false},
        {"one byte short", "root", 11'999'999'999, Check::ExitsNonZero, kDiskSpace, true, false},
        {"check exits non-zero", "root", std::nullopt, Check::ExitsNonZero, kRosetta, true, true},
        {"check cannot start", "root", 12'000'000'000, Check::Missing, kRosetta, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TemporaryFolder folder;
        const fs::path root = folder / "parent" / c.folder;
        const PreflightRun run = runPreflight(root, c.space, c.check);
        EXPECT_EQ(run.failure.value_or("passed"), c.failure ? c.failure : "passed");
        EXPECT_EQ(run.spaceAsked, c.spaceAsked);
        EXPECT_EQ(run.checkRan, c.checkRan);
        EXPECT_TRUE(fs::is_directory(root)) << "the root is made first and stays";
    }
}

TEST(Preflight, FileSystemErrorsPassThroughUnchanged)
{
    const TemporaryFolder folder;
    testing::writeFile(folder / "file", "not a folder");
    EXPECT_THROW(runPreflight(folder / "file/root", 100'000'000'000, Check::Passes), fs::filesystem_error);

    Host host = testing::testHost();
    const fs::filesystem_error queryFailure("cannot query the volume", std::make_error_code(std::errc::io_error));
    host.availableSpace = [&](const fs::path&) -> std::optional<std::uintmax_t> { throw queryFailure; };
    try {
        preflight(Installation(folder / "root", {}, host));
        FAIL() << "preflight passed";
    } catch (const fs::filesystem_error& error) {
        EXPECT_EQ(error.code(), queryFailure.code());
        EXPECT_STREQ(error.what(), queryFailure.what());
    }

    // A setup log that cannot be written is no missing Rosetta, and must not stall setup.
    fs::create_directories(folder / "root/Logs");
    ASSERT_EQ(::mkfifo((folder / "root/Logs/setup.log").c_str(), 0644), 0);
    EXPECT_THROW(runPreflight(folder / "root", 100'000'000'000, Check::Passes), fs::filesystem_error);
}

} // namespace
} // namespace launcher
