#include "core/InstallationRecord.h"
#include "core/Installer.h"
#include "support/InstallationByHand.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace launcher {
namespace {

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
         }) {
        EXPECT_ANY_THROW(InstallationRecord::decode(text)) << text;
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
    EXPECT_TRUE(Installer(root.path()).isInstalled());
}

TEST_P(InstallationStatus, IsNotInstalledWhen)
{
    const TemporaryFolder root;
    testing::buildInstallationByHand(root.path());
    GetParam().damage(root.path());
    EXPECT_FALSE(Installer(root.path()).isInstalled());
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
