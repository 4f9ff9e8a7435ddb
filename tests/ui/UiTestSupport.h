#pragma once
// Shared set-ups of the desktop front end's tests.

#include "ui/LauncherModel.h"

#include <QProcess>
#include <QString>
#include <QUrl>
#include <QtTest>

#include <filesystem>
#include <optional>
#include <string>

namespace launcher::testing {

QUrl fileUrl(const std::filesystem::path& path);

// Model settings for a test root: the test machine of the engine and the given guide.
LauncherSettings settingsFor(const std::filesystem::path& root,
                             std::optional<std::filesystem::path> guide = std::filesystem::path("/nonexistent"));

// Makes the root hold a complete installation, made by hand, whose player has
// one save with this content; returns the save file.
std::filesystem::path buildInstallationWithASave(const std::filesystem::path& root, const std::string& content = "saved");

// Puts the verified runtime archives into the root's download cache, which the
// engine reuses, so that a setup from the window downloads nothing; the root is
// then one that an earlier setup made.
void provideRuntimeArchives(const std::filesystem::path& root);

// Waits until the model's check of the chosen game files has ended.
void awaitGameCheck(const LauncherModel& model);

// The generated installer ZIP and media package that a complete setup accepts.
std::filesystem::path setupGameSource();
std::filesystem::path setupAudioPackage();

// Chooses both files (by default ones that setup takes) and gives the
// consent, then waits until the game files' check has ended.
void chooseSetupFiles(LauncherModel& model, const std::filesystem::path& game = setupGameSource(),
                      const std::filesystem::path& audio = setupAudioPackage());

// Sets the root up completely, as the engine does, from the generated game,
// audio package and pre-fetched runtime archives: an installation that verifies.
void setUpInstallation(const std::filesystem::path& root);

// Takes from a complete installation what security software or a player
// might: always the audio decoder in the Windows environment, which repair
// puts back from the launcher's verified copy; with `gameFile` one of the
// game's files, so that repair needs the game files again; with
// `decoderCopy` that verified copy too, so that repair needs the audio file.
void damageInstallation(const std::filesystem::path& root, bool gameFile = false, bool decoderCopy = false);

// A separate process holding the install lock of a root until it is destroyed.
class ForeignLockHolder final {
public:
    explicit ForeignLockHolder(const std::filesystem::path& root);
    ~ForeignLockHolder();
    ForeignLockHolder(const ForeignLockHolder&) = delete;
    ForeignLockHolder& operator=(const ForeignLockHolder&) = delete;

private:
    QProcess m_process;
};

} // namespace launcher::testing

namespace QTest {

// Failure messages show an absent error as "(none)".
template <>
inline char* toString(const std::optional<QString>& value)
{
    return value ? QTest::toString(*value) : qstrdup("(none)");
}

} // namespace QTest
