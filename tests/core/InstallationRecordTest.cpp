#include "core/InstallationRecord.h"
#include "core/Installation.h"
#include "support/InstallationByHand.h"
#include "support/TemporaryFolder.h"

#include <iomanip>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace launcher {
namespace {

using testing::readFile;
using testing::TemporaryFolder;
using testing::writeFile;

TEST(InstallationRecord, EncodesCompactlyInFieldOrderWithTheDateFromTheReferenceDate)
{
    // 2001-01-01 00:00:00 UTC plus 786,000,000.5 seconds.
    const auto when = std::chrono::system_clock::time_point(std::chrono::seconds(978307200 + 786000000))
        + std::chrono::milliseconds(500);
    const InstallationRecord record{1, "0.1.0", "WS12WineCX24.0.7_7.tar.xz", when};
    EXPECT_EQ(record.encode(),
              R"({"format":1,"launcherVersion":"0.1.0","engine":"WS12WineCX24.0.7_7.tar.xz","installedAt":786000000.5})");
}

TEST(InstallationRecord, DecodesAnyKeyOrderIgnoresExtraKeysAndKeepsTheTime)
{
    const auto record = InstallationRecord::decode(
        R"({"installedAt":12.25,"extra":[1,2],"engine":"e","launcherVersion":"9","format":1})");
    EXPECT_EQ(record.format, 1);
    EXPECT_EQ(record.launcherVersion, "9");
    EXPECT_EQ(record.engine, "e");
    EXPECT_EQ(record.installedAt.time_since_epoch(), std::chrono::seconds(978307212) + std::chrono::milliseconds(250));

    const InstallationRecord now{1, "0.1.0", "x", std::chrono::system_clock::now()};
    const auto back = InstallationRecord::decode(now.encode()).installedAt;
    EXPECT_LT(std::chrono::abs(back - now.installedAt), std::chrono::microseconds(1));
}

TEST(InstallationRecord, RefusesRecordsThatLackAKeyOrHaveAWrongType)
{
    for (const char* text : {
             R"({"launcherVersion":"0.1.0","engine":"e","installedAt":1})",
             R"({"format":1,"launcherVersion":"0.1.0","installedAt":1})",
             R"({"format":"1","launcherVersion":"0.1.0","engine":"e","installedAt":1})",
             R"({"format":1.5,"launcherVersion":"0.1.0","engine":"e","installedAt":1})",
             R"({"format":1,"launcherVersion":2,"engine":"e","installedAt":1})",
             R"({"format":1,"launcherVersion":"0.1.0","engine":"e","installedAt":"yesterday"})",
             R"([1,"0.1.0","e",1])",
             R"({"format":1,"launcherVer)",
             // Anything but white space after the value, and keys that say two things.
             R"({"format":1,"launcherVersion":"0.1.0","engine":"e","installedAt":1}x)",
             R"({"format":1,"launcherVersion":"0.1.0","engine":"e","installedAt":1}{})",
             R"({"format":1,"launcherVersion":"0.1.0","engine":"e","installedAt":1,"format":2})",
             R"({"format":1,"launcherVersion":"0.1.0","engine":"e","installedAt":1,"extra":{"a":1,"a":2}})",
         }) {
        EXPECT_ANY_THROW(InstallationRecord::decode(text)) << text;
    }
    // The same key in two different objects is no repetition; white space may follow.
    EXPECT_EQ(InstallationRecord::decode(R"({"format":1,"launcherVersion":"0.1.0","engine":"e","installedAt":1,)"
                                         R"("extra":[{"format":2},{"format":3}]})" " \t\r\n")
                  .format,
              1);
}

// The clock's range depends on the standard library: nanosecond ticks reach
// about 292 years either side of 1970 (libstdc++), microsecond ticks 292,000
// years (libc++). The cases are placed by the clock's own ends.
TEST(InstallationRecord, DatesBeyondTheClocksRangeBecomeItsFirstOrLastMoment)
{
    using Clock = std::chrono::system_clock;
    using Seconds = std::chrono::duration<double>;
    constexpr auto kReference = std::chrono::seconds(978307200);
    const auto last = Clock::time_point::max();
    const auto first = Clock::time_point::min();
    // The clock's ends, in seconds from the record's reference date, counted
    // in floating point: the clock's first moment less the reference overflows its ticks.
    const auto fromReference = [&](Clock::time_point moment) {
        return std::chrono::duration_cast<Seconds>(moment.time_since_epoch()).count() - Seconds(kReference).count();
    };
    const double lastSecond = fromReference(last);
    const double firstSecond = fromReference(first);
    const auto secondsText = [](double seconds) {
        std::ostringstream text;
        text << std::setprecision(17) << seconds;
        return text.str();
    };
    const auto at = [&](double seconds) {
        return Clock::time_point(std::chrono::duration_cast<Clock::duration>(kReference + Seconds(seconds)));
    };
    const struct {
        std::string installedAt;
        Clock::time_point expected;
    } cases[] = {
        {"0", Clock::time_point(kReference)},
        // Near the ends once the reference date is added; a clamp that left it
        // out would let the cases beyond them through, to overflow.
        {secondsText(lastSecond - 1e6), at(lastSecond - 1e6)},
        {secondsText(lastSecond * 1.01), last},
        {"1e300", last},
        {secondsText(firstSecond + 1e6), at(firstSecond + 1e6)},
        {secondsText(firstSecond * 1.01), first},
        {"-1e300", first},
    };
    // A double's 53 bits hold a tick count near the ends to 2^11 ticks, and
    // the test's sum and the record's each round once.
    constexpr Clock::duration kPrecision{4096};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.installedAt);
        const auto record = InstallationRecord::decode(std::string(R"({"format":1,"launcherVersion":"0.1.0","engine":"e",)")
                                                       + R"("installedAt":)" + c.installedAt + "}");
        EXPECT_LE(std::chrono::abs(record.installedAt - c.expected), kPrecision);
    }
}

struct StatusCase {
    const char* name;
    void (*damage)(const std::filesystem::path& root);
};

void PrintTo(const StatusCase& statusCase, std::ostream* out)
{
    *out << statusCase.name;
}

class InstallationStatus : public ::testing::TestWithParam<StatusCase> {};

TEST(InstallationStatusTest, CompleteInstallationCountsWhateverVersionEngineAndDateSay)
{
    const TemporaryFolder root;
    testing::buildInstallationByHand(root.path());
    writeFile(root / "installed.json", R"({"format":1,"launcherVersion":"7.7","engine":"other","installedAt":1e300})");
    EXPECT_TRUE(Installation(root.path()).isInstalled());
    // White space around the value is still the record, up to 64 KiB in all.
    const std::string record = readFile(root / "installed.json");
    writeFile(root / "installed.json", "\n " + record + std::string(65536 - record.size() - 2, ' '));
    EXPECT_TRUE(Installation(root.path()).isInstalled());
}

TEST_P(InstallationStatus, IsNotInstalledWhen)
{
    const TemporaryFolder root;
    testing::buildInstallationByHand(root.path());
    GetParam().damage(root.path());
    EXPECT_FALSE(Installation(root.path()).isInstalled());
}

INSTANTIATE_TEST_SUITE_P(
    Damage, InstallationStatus,
    ::testing::Values(
        StatusCase{"NoRecord", [](const auto& root) { std::filesystem::remove(root / "installed.json"); }},
        StatusCase{"RecordIsAFolder",
                   [](const auto& root) {
                       std::filesystem::remove(root / "installed.json");
                       std::filesystem::create_directory(root / "installed.json");
                   }},
        StatusCase{"FormatTwo",
                   [](const auto& root) {
                       writeFile(root / "installed.json",
                                 R"({"format":2,"launcherVersion":"0.1.0","engine":"e","installedAt":0})");
                   }},
        StatusCase{"NoEngineKey",
                   [](const auto& root) {
                       writeFile(root / "installed.json", R"({"format":1,"launcherVersion":"0.1.0","installedAt":0})");
                   }},
        StatusCase{"TruncatedRecord",
                   [](const auto& root) { writeFile(root / "installed.json", R"({"format":1,"launcherVersion":"0.)"); }},
        StatusCase{"CorruptRecord", [](const auto& root) { writeFile(root / "installed.json", "\xff\xfe\x00garbage"); }},
        StatusCase{"RecordWithTrailingBytes",
                   [](const auto& root) {
                       writeFile(root / "installed.json", readFile(root / "installed.json") + "\n}");
                   }},
        StatusCase{"RecordLargerThan64KiB",
                   [](const auto& root) {
                       writeFile(root / "installed.json", readFile(root / "installed.json") + std::string(65536, ' '));
                   }},
        // Neither may stall the status test or feed it without end.
        StatusCase{"RecordIsANamedPipe",
                   [](const auto& root) {
                       std::filesystem::remove(root / "installed.json");
                       ::mkfifo((root / "installed.json").c_str(), 0644);
                   }},
        StatusCase{"RecordLinksToAnEndlessDevice",
                   [](const auto& root) {
                       std::filesystem::remove(root / "installed.json");
                       std::filesystem::create_symlink("/dev/zero", root / "installed.json");
                   }},
        StatusCase{"RecordLinksToARecord",
                   [](const auto& root) {
                       std::filesystem::rename(root / "installed.json", root / "elsewhere.json");
                       std::filesystem::create_symlink("elsewhere.json", root / "installed.json");
                   }},
        StatusCase{"GameMissing", [](const auto& root) { std::filesystem::remove(root / "Install/game/veyra2.exe"); }},
        StatusCase{"WineNotExecutable",
                   [](const auto& root) {
                       std::filesystem::permissions(root / "Runtime/wswine.bundle/bin/wine",
                                                    std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
                   }},
        StatusCase{"WineIsAFolder",
                   [](const auto& root) {
                       std::filesystem::remove(root / "Runtime/wswine.bundle/bin/wine");
                       std::filesystem::create_directory(root / "Runtime/wswine.bundle/bin/wine");
                   }},
        StatusCase{"NoSystemRegistry", [](const auto& root) { std::filesystem::remove(root / "Install/prefix/system.reg"); }},
        StatusCase{"NoDecoder",
                   [](const auto& root) {
                       std::filesystem::remove(root / "Install/prefix/drive_c/windows/syswow64/wmadmod.dll");
                   }}),
    [](const ::testing::TestParamInfo<StatusCase>& param) { return std::string(param.param.name); });

} // namespace
} // namespace launcher
