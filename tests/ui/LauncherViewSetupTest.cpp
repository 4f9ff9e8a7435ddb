// The window from its first start through setup to play: its panels, texts,
// choices, errors and Cancel.

#include "ViewScreen.h"

#include "FakeDesktopServices.h"
#include "HeldWork.h"
#include "UiTestSupport.h"
#include "support/InstallationByHand.h"
#include "support/LockProbe.h"
#include "support/ProcessTree.h"
#include "support/ScopedEnvironmentVariable.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"
#include "ui/BusyIndicator.h"
#include "ui/LauncherStyle.h"
#include "ui/ProgressBar.h"
#include "ui/WrappingLabel.h"

#include <QApplication>
#include <QCheckBox>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

#include <utility>
#include <vector>

#include <unistd.h>

namespace launcher::testing {
namespace {

const QString kLockMessage = "Another launcher is installing or playing Veyra 2. Close it before continuing.";

// A root folder whose path is long and looks like markup, with a file in its
// way: setup fails at once with a message of many lines that names it.
std::filesystem::path blockedRoot(const TemporaryFolder& folder)
{
    auto blocker = folder / "<b>Not bold</b>";
    for (int part = 0; part < 4; ++part)
        blocker /= QString("VeryLongFolderName").repeated(7).toStdString();
    blocker /= "file";
    writeFile(blocker, "");
    return blocker / "home";
}

} // namespace

class LauncherViewSetupTest final : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { LauncherModel::waitForBackgroundWork(); }

    void firstStartShowsTheSetupPanel();
    void textsUseTheDarkScheme();
    void choosingShowsTheChosenNameAndConsentIsTwoWay();
    void longErrorScrollsInsteadOfSqueezingTheRows();
    void setupButtonNeedsBothFilesAndConsentAndNoSetup_data();
    void setupButtonNeedsBothFilesAndConsentAndNoSetup();
    void setupDisablesEveryChoiceAndTurnsTheIndicator();
    void installedPanelFollowsReadyAndPlaying();
    void fileFailureShowsAPlainSentenceWithItsDetailsAndWraps();
    void linksOpenGuideDownloadPageAndLogs();
    void whatCannotBeOpenedIsShownInTheErrorBox();
    void failedSetupShowsTheMessageAndNeedsAttention();
    void successfulSetupSwitchesToTheInstalledPanel();
    void playIsDisabledWhileTheGameRuns();
    void lockHeldElsewhereIsShownAsTheError();
    void cancelStopsSetupWhereverItRuns_data();
    void cancelStopsSetupWhereverItRuns();
};

void LauncherViewSetupTest::firstStartShowsTheSetupPanel()
{
    const TemporaryFolder root;
    Screen screen(root.path());
    QVERIFY(screen.shown("setupPanel"));
    QVERIFY(!screen.shown("installedPanel"));
    QCOMPARE(screen.text("headline"), QString("Your game. Ready for Mac."));
    QCOMPARE(screen.text("subheadline"), QString("Bring your Veyra 2 files. We’ll take care of the compatibility setup."));
    QCOMPARE(screen.text("headerLabel"), QString("VEYRA 2 · MAC LAUNCHER"));
    QCOMPARE(screen.text("betaBadge"), QString("UNOFFICIAL BETA 0.1"));
    QCOMPARE(screen.text("gameTitle"), QString("Veyra 2 game files"));
    QCOMPARE(screen.text("gameDetail"), QString("Installer 2.1 archive or a Project Kestrane game folder"));
    QCOMPARE(screen.text("audioTitle"), QString("Audio package"));
    QCOMPARE(screen.text("audioDetail"), QString("Your supported MPSetup.exe or WMADMOD.DLL"));
    QCOMPARE(screen.text("gameButton"), QString("Choose…"));
    QCOMPARE(screen.text("audioButton"), QString("Choose…"));
    QCOMPARE(screen.find("gameButton").accessibleName(), QString("Choose Veyra 2 game files"));
    QCOMPARE(screen.find("audioButton").accessibleName(), QString("Choose Audio package"));
    QCOMPARE(screen.text("consentCheckBox"),
             QString("I own Veyra 2 for Windows Vista and have permission to use these files."));
    QCOMPARE(screen.text("setupButton"), QString("Set up Veyra 2"));
    QVERIFY(!screen.enabled("setupButton"));
    QCOMPARE(screen.text("requirementsNote"),
             QString("About 341 MB to download · 12 GB free space\nGame and Microsoft audio files are not included."));
    QVERIFY(!screen.shown("progressIndicator"));
    QVERIFY(!screen.shown("errorBox"));
    QCOMPARE(screen.text("statusLabel"), QString("Select your files to get started."));
    QCOMPARE(screen.text("footerNote"), QString("macOS 14+ · Rosetta on Apple silicon"));
    QVERIFY(screen.view.minimumWidth() >= 720);
    QVERIFY(screen.view.minimumHeight() >= 610);
}

void LauncherViewSetupTest::textsUseTheDarkScheme()
{
    const TemporaryFolder root;
    Screen screen(root.path());
    // An error as a player meets one: playing before anything is installed.
    screen.model.play();
    QTRY_VERIFY_WITH_TIMEOUT(screen.shown("errorBox"), 30'000);
    // As 8-bit components, the precision of the style sheet.
    const auto colour = [&](const char* name) {
        return QColor::fromRgba(screen.find(name).palette().color(QPalette::WindowText).rgba());
    };
    const QColor white(Qt::white);
    QCOMPARE(colour("headline"), white);
    QCOMPARE(colour("gameTitle"), white);
    QCOMPARE(colour("consentCheckBox"), white);
    QCOMPARE(colour("errorLabel"), QColor::fromRgba(style::errorText().rgba()));
    QCOMPARE(colour("headerLabel"), QColor::fromRgba(style::accent().rgba()));
    for (const char* secondary : {"subheadline", "gameDetail", "requirementsNote", "statusLabel", "footerNote"})
        QCOMPARE(colour(secondary), style::secondaryText());
}

void LauncherViewSetupTest::choosingShowsTheChosenNameAndConsentIsTwoWay()
{
    const TemporaryFolder root;
    std::filesystem::create_directories(root / "Games");
    std::filesystem::copy(fixture("game/Veyra 2"), root / "Games/Veyra 2 Kestrane",
                          std::filesystem::copy_options::recursive);
    Screen screen(root.path());
    screen.services.willChoose(fileUrl(root / "Games/Veyra 2 Kestrane"));
    screen.click("gameButton");
    awaitGameCheck(screen.model);
    QCOMPARE(screen.text("gameDetail"), QString("Veyra 2 Kestrane"));
    QCOMPARE(screen.find("gameRow").toolTip(), QString::fromStdString((root / "Games/Veyra 2 Kestrane").string()));
    QCOMPARE(screen.find("audioRow").toolTip(), QString());
    QCOMPARE(screen.text("gameButton"), QString("Change…"));
    QVERIFY(!screen.enabled("setupButton"));

    screen.services.willChoose(fileUrl(root / "Downloads/MPSetup.exe"));
    screen.click("audioButton");
    QCOMPARE(screen.text("audioDetail"), QString("MPSetup.exe"));
    QVERIFY(!screen.enabled("setupButton"));

    screen.click("consentCheckBox");
    QCOMPARE(screen.model.ownsFiles(), true);
    QVERIFY(screen.enabled("setupButton"));
    screen.click("consentCheckBox");
    QCOMPARE(screen.model.ownsFiles(), false);
    QVERIFY(!screen.enabled("setupButton"));

    screen.model.setOwnsFiles(true);
    QVERIFY(screen.find<QCheckBox>("consentCheckBox").isChecked());

    // Cancelling the panel keeps the choice.
    screen.click("gameButton");
    QCOMPARE(screen.text("gameDetail"), QString("Veyra 2 Kestrane"));
}

void LauncherViewSetupTest::longErrorScrollsInsteadOfSqueezingTheRows()
{
    const TemporaryFolder root;
    Screen screen(blockedRoot(root));
    screen.view.resize(screen.view.minimumSize());
    screen.failSetup();
    auto& error = screen.find<WrappingLabel>("errorLabel");
    QTRY_VERIFY2(error.height() >= 10 * error.fontMetrics().lineSpacing(), "the error takes ten lines or more");

    for (const char* natural : {"gameRow", "gameTitle", "gameDetail", "gameButton", "audioRow", "audioTitle",
                                "audioDetail", "audioButton", "consentCheckBox", "setupButton"}) {
        const QWidget& widget = screen.find(natural);
        const int height = widget.hasHeightForWidth() ? widget.heightForWidth(widget.width()) : widget.sizeHint().height();
        QVERIFY2(widget.height() >= height, natural);
    }
    auto& scroll = screen.find<QScrollArea>("contentScroll");
    QVERIFY2(scroll.verticalScrollBar()->maximum() > 0, "the content scrolls");
    auto& box = screen.find("errorBox");
    scroll.ensureWidgetVisible(&box, 0, 0);
    const QRect shown(box.mapTo(scroll.viewport(), QPoint(0, 0)), box.size());
    QVERIFY2(scroll.viewport()->rect().contains(shown), "the whole error can be scrolled into view");
    QVERIFY2(screen.shown("guideLink"), "the footer stays");
}

void LauncherViewSetupTest::setupButtonNeedsBothFilesAndConsentAndNoSetup_data()
{
    QTest::addColumn<QString>("game");
    QTest::addColumn<bool>("audio");
    QTest::addColumn<bool>("owns");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("problem");
    const QString noGame = "The archive does not contain Veyra 2. Select vy2pc_data.bin from installer 2.1.";
    QTest::newRow("everything") << "accepted" << true << true << false << true << QString();
    QTest::newRow("no game") << "none" << true << true << false << false << QString();
    QTest::newRow("no audio") << "accepted" << false << true << false << false << QString();
    QTest::newRow("no consent") << "accepted" << true << false << false << false << QString();
    QTest::newRow("game files refused") << "refused" << true << true << false << false << noGame;
    QTest::newRow("game files still being looked at") << "looking" << true << true << false << false << QString();
    QTest::newRow("setting up") << "accepted" << true << true << true << false << QString();
}

void LauncherViewSetupTest::setupButtonNeedsBothFilesAndConsentAndNoSetup()
{
    QFETCH(QString, game);
    QFETCH(bool, audio);
    QFETCH(bool, owns);
    QFETCH(bool, busy);
    QFETCH(bool, enabled);
    QFETCH(QString, problem);
    const TemporaryFolder root;
    HeldWork held;
    LauncherSettings settings = settingsFor(root.path());
    held.holdSetup(settings);
    // The archive tool that lists the chosen archive waits.
    if (game == "looking")
        held.holdArchiveTool(settings);
    Screen screen(std::move(settings));
    if (busy) {
        // A setup started with everything it needs is still running.
        screen.chooseEverything();
        screen.model.install();
    }
    const std::map<QString, QUrl> games{{"none", QUrl()},
                                        {"accepted", fileUrl(setupGameSource())},
                                        {"refused", fileUrl(fixture("game/no-game.zip"))},
                                        {"looking", fileUrl(setupGameSource())}};
    screen.model.setGameURL(games.at(game));
    screen.model.setAudioURL(audio ? fileUrl(setupAudioPackage()) : QUrl());
    screen.model.setOwnsFiles(owns);
    if (game != "looking")
        awaitGameCheck(screen.model);
    QCOMPARE(screen.model.busy(), busy);
    QCOMPARE(screen.enabled("setupButton"), enabled);
    QCOMPARE(screen.shown("gameProblem"), !problem.isEmpty());
    QCOMPARE(screen.text("gameProblem"), problem);
    // The status line says what comes next.
    const QString next = game == "looking" ? "Looking at your game files…"
                         : enabled         ? "Ready to set up."
                                           : "Select your files to get started.";
    if (!busy)
        QCOMPARE(screen.text("statusLabel"), next);
}

void LauncherViewSetupTest::setupDisablesEveryChoiceAndTurnsTheIndicator()
{
    const TemporaryFolder root;
    HeldWork held;
    LauncherSettings settings = settingsFor(root.path());
    held.holdDownload(settings);
    Screen screen(std::move(settings));
    screen.services.willChoose(fileUrl(setupGameSource()));
    screen.click("gameButton");
    screen.services.willChoose(fileUrl(setupAudioPackage()));
    screen.click("audioButton");
    screen.click("consentCheckBox");
    awaitGameCheck(screen.model);
    const QRect note = screen.find("requirementsNote").geometry();
    screen.click("setupButton");
    for (const char* control : {"gameButton", "audioButton", "consentCheckBox", "setupButton"})
        QVERIFY2(!screen.enabled(control), control);
    QCOMPARE(screen.text("setupButton"), QString("Setting up…"));
    // Once the layout has followed the new text, the note beside the button is where it was.
    QTest::qWait(0);
    QCOMPARE(screen.find("requirementsNote").geometry(), note);
    QVERIFY(screen.shown("progressIndicator"));
    QVERIFY(screen.find<BusyIndicator>("progressIndicator").isAnimating());
    // The status line follows the engine's steps up to the held download.
    QTRY_COMPARE_WITH_TIMEOUT(screen.text("statusLabel"),
                              QString("Downloading and verifying the compatibility runtime · about 341 MB"), 30'000);

    held.release();
    QTRY_VERIFY_WITH_TIMEOUT(!screen.model.busy(), 30'000);
    QVERIFY(screen.enabled("gameButton"));
    QVERIFY(!screen.shown("progressIndicator"));
    QCOMPARE(screen.text("setupButton"), QString("Set up Veyra 2"));
}

void LauncherViewSetupTest::installedPanelFollowsReadyAndPlaying()
{
    const TemporaryFolder root;
    buildInstallationByHand(root.path());
    Screen screen(root.path());
    QVERIFY(screen.shown("installedPanel"));
    QVERIFY(!screen.shown("setupPanel"));
    QCOMPARE(screen.text("headline"), QString("Ready when you are."));
    QCOMPARE(screen.text("subheadline"),
             QString("Campaign, familiar controls, and the audio fix—all in your own installation."));
    QCOMPARE(screen.text("installedLabel"), QString("Installed on this Mac"));
    QCOMPARE(screen.text("installedSentence"), QString("Your game and saves live separately from this launcher, "
                                                       "so replacing the app keeps your progress."));
    QCOMPARE(screen.text("playButton"), QString("Play Veyra 2"));
    QVERIFY(screen.enabled("playButton"));
    QCOMPARE(screen.text("statusLabel"), QString("Your installation is ready."));

    HeldWork held;
    held.startGame([&] { screen.model.play(); });
    QVERIFY(!screen.enabled("playButton"));
    QVERIFY(screen.enabled("saveFoldersButton"));
    QVERIFY(screen.shown("progressIndicator"));

    screen.click("saveFoldersButton");
    QCOMPARE(screen.services.opened, std::vector<QUrl>({fileUrl(root / "Install/prefix/drive_c/users")}));
}

void LauncherViewSetupTest::fileFailureShowsAPlainSentenceWithItsDetailsAndWraps()
{
    const TemporaryFolder root;
    const auto home = blockedRoot(root);
    Screen screen(home);
    screen.failSetup();
    QVERIFY(screen.shown("errorBox"));
    const QString path = QString::fromStdString(home.string());
    const QString blocker = QString::fromStdString(home.parent_path().string());
    // Shown as it is: the markup in the path stays text.
    QCOMPARE(screen.text("errorLabel"), "The launcher could not create the folder " + path + ": the file " + blocker +
                                            " is in the way. Move it aside, then retry.");
    QVERIFY(screen.shown("errorDetailsLabel"));
    QCOMPARE(screen.text("errorDetailsLabel"), "Details: Not a directory");
    auto& label = screen.find<WrappingLabel>("errorLabel");
    auto& details = screen.find<WrappingLabel>("errorDetailsLabel");
    QVERIFY2(details.font().pixelSize() < label.font().pixelSize(), "the details are the smaller line");
    QTRY_VERIFY2(label.height() >= 3 * label.fontMetrics().lineSpacing(), "the message wraps onto several lines");
    QVERIFY2(screen.view.minimumSizeHint().width() <= 720, "a long word does not widen the window");

    // The model's own status lines are short; a long one is put on the label
    // directly to see the row make room for it.
    const QString status = "A status line " + QString("that goes on and on ").repeated(10);
    auto& statusLabel = screen.find<WrappingLabel>("statusLabel");
    statusLabel.setText(status);
    QTRY_VERIFY(statusLabel.height() >= 2 * statusLabel.fontMetrics().lineSpacing());

    screen.services.willChoose(fileUrl(root / "game.zip"));
    screen.click("gameButton");
    QVERIFY(!screen.shown("errorBox"));
}

void LauncherViewSetupTest::linksOpenGuideDownloadPageAndLogs()
{
    const TemporaryFolder root;
    writeFile(root / "Setup Guide.html", "<!doctype html>");
    Screen screen(root / "home", root / "Setup Guide.html");
    QCOMPARE(screen.text("guideLink"), QString("Setup Guide"));
    QCOMPARE(screen.text("downloadLink"), QString("Game download"));
    QCOMPARE(screen.text("logsLink"), QString("Open Logs"));
    screen.click("guideLink");
    screen.click("downloadLink");
    screen.click("logsLink");
    QCOMPARE(screen.services.opened.size(), 3u);
    QCOMPARE(screen.services.opened[0], fileUrl(root / "Setup Guide.html"));
    const QUrl download = screen.services.opened[1];
    QCOMPARE(download.scheme(), QString("https"));
    QVERIFY(!download.host().isEmpty());
    QCOMPARE(download.path(), QString("/install/"));
    QCOMPARE(screen.services.opened[2], fileUrl(root / "home/Logs"));
}

void LauncherViewSetupTest::whatCannotBeOpenedIsShownInTheErrorBox()
{
    const TemporaryFolder root;
    Screen screen(root.path());
    screen.services.opens = false;
    screen.click("logsLink");
    QVERIFY(screen.shown("errorBox"));
    QCOMPARE(screen.text("errorLabel"), "The launcher could not open " +
                                            QString::fromStdString((root / "Logs").string()) +
                                            ". Open it by hand from your file manager.");
    QVERIFY(!screen.shown("errorDetailsLabel"));
    screen.click("downloadLink");
    QCOMPARE(screen.text("errorLabel"), "The launcher could not open " + screen.services.opened.back().toString() +
                                            ". Open it by hand in your web browser.");
}

void LauncherViewSetupTest::failedSetupShowsTheMessageAndNeedsAttention()
{
    const TemporaryFolder root;
    // Not the tested package: setup fails at its first step.
    writeFile(root / "files/MPSetup.exe", "MZ");
    Screen screen(root / "home");
    screen.model.setGameURL(fileUrl(setupGameSource()));
    screen.model.setAudioURL(fileUrl(root / "files/MPSetup.exe"));
    screen.click("consentCheckBox");
    awaitGameCheck(screen.model);
    screen.click("setupButton");
    QCOMPARE(screen.text("setupButton"), QString("Setting up…"));
    QTRY_VERIFY_WITH_TIMEOUT(screen.enabled("setupButton"), 60'000);
    QVERIFY(screen.shown("errorBox"));
    QCOMPARE(screen.text("errorLabel"), QString("This audio file is not the tested Microsoft WMA 9 decoder/package. "
                                                "Select the supported MPSetup.exe or WMADMOD.DLL described in the "
                                                "setup guide."));
    QVERIFY2(!screen.shown("errorDetailsLabel"), "the launcher's own sentence is all there is");
    QCOMPARE(screen.text("statusLabel"), QString("Setup needs attention. Your source files are unchanged."));
    QVERIFY(screen.shown("setupPanel"));
    QVERIFY(!screen.shown("progressIndicator"));
    // Back to the choice that needs a change.
    QCOMPARE(QApplication::focusWidget(), &screen.find("audioButton"));
}

void LauncherViewSetupTest::successfulSetupSwitchesToTheInstalledPanel()
{
    const TemporaryFolder root;
    provideRuntimeArchives(root.path());
    Screen screen(root.path());
    QStringList shown;
    connect(&screen.model, &LauncherModel::statusChanged, this, [&] { shown << screen.text("statusLabel"); });
    screen.services.willChoose(fileUrl(setupGameSource()));
    screen.click("gameButton");
    screen.services.willChoose(fileUrl(setupAudioPackage()));
    screen.click("audioButton");
    screen.click("consentCheckBox");
    awaitGameCheck(screen.model);
    QCOMPARE(screen.text("statusLabel"), QString("Ready to set up."));
    shown.clear();
    screen.click("setupButton");
    QTRY_VERIFY_WITH_TIMEOUT(!screen.model.busy(), 180'000);

    QVERIFY(screen.shown("installedPanel"));
    QVERIFY(!screen.shown("setupPanel"));
    QVERIFY(!screen.shown("errorBox"));
    QCOMPARE(shown.first(), QString("Verifying your audio package"));
    QCOMPARE(shown.last(), QString("Your installation is ready."));
    QVERIFY(shown.contains("Installing your verified audio decoder"));
    QCOMPARE(QApplication::focusWidget(), &screen.find("playButton"));
}

void LauncherViewSetupTest::playIsDisabledWhileTheGameRuns()
{
    const TemporaryFolder root;
    buildInstallationByHand(root.path());
    Screen screen(root.path());
    // The stand-in game runs until released, then fails.
    HeldWork held;
    held.startGame([&] { screen.click("playButton"); }, 7);

    QVERIFY(!screen.enabled("playButton"));
    QVERIFY(screen.shown("progressIndicator"));
    QCOMPARE(screen.text("statusLabel"), QString("Veyra 2 is starting. The first launch can take a few minutes."));
    // Once the game's process runs, the line says so for as long as it runs.
    QTRY_VERIFY_WITH_TIMEOUT(held.gameStarted(), 30'000);
    QTRY_COMPARE(screen.text("statusLabel"), QString("Veyra 2 is running."));
    // A Space meant for Play presses nothing while the game runs.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(screen.services.opened.empty());
    held.release();
    QTRY_VERIFY_WITH_TIMEOUT(screen.enabled("playButton"), 30'000);
    QVERIFY(!screen.shown("progressIndicator"));
    QCOMPARE(screen.text("statusLabel"), QString("Your installation is ready."));
    QVERIFY(screen.shown("errorBox"));
    QCOMPARE(screen.text("errorLabel"), QString("Veyra 2 exited unexpectedly. Open Logs for details."));
    // Back on Play, so that the next Space starts the game again and opens no folder.
    QCOMPARE(QApplication::focusWidget(), &screen.find("playButton"));
}

void LauncherViewSetupTest::lockHeldElsewhereIsShownAsTheError()
{
    const TemporaryFolder root;
    buildInstallationByHand(root.path());
    const ForeignLockHolder otherLauncher(root.path());
    Screen screen(root.path());
    screen.click("playButton");
    QTRY_VERIFY_WITH_TIMEOUT(screen.shown("errorBox"), 30'000);
    QCOMPARE(screen.text("errorLabel"), kLockMessage);
    QVERIFY(screen.enabled("playButton"));
    QCOMPARE(screen.text("statusLabel"), QString("Your installation is ready."));
    QCOMPARE(QApplication::focusWidget(), &screen.find("playButton"));
}

void LauncherViewSetupTest::cancelStopsSetupWhereverItRuns_data()
{
    QTest::addColumn<QString>("work");
    QTest::addColumn<bool>("determinate");
    QTest::addColumn<QString>("progress");
    // The download's size is known; a Windows tool's is not. At 2 kB/s the
    // fixture archive takes long enough to be seen on a busy machine.
    QTest::addColumn<QString>("stopping");
    QTest::addColumn<QString>("stopped");
    const QString stoppingSetup = "Stopping setup. This can take a few seconds.";
    const QString setupStopped = "Setup was stopped before it finished. Run it again to continue.";
    QTest::newRow("download") << "download" << true << R"(^(\d+)% · \d+ of \d+ kB · \d+ kB/s · (\d+ min )?\d+ s left$)"
                              << stoppingSetup << setupStopped;
    QTest::newRow("Windows environment") << "setup" << false << R"(^Preparing Windows · \d+ s$)" << stoppingSetup
                                         << setupStopped;
    QTest::newRow("repair") << "repair" << false << R"(^Preparing Windows · \d+ s$)"
                            << "Stopping repair. This can take a few seconds."
                            << "Repair was stopped before it finished. Run it again to continue.";
}

void LauncherViewSetupTest::cancelStopsSetupWhereverItRuns()
{
    QFETCH(QString, work);
    QFETCH(bool, determinate);
    QFETCH(QString, progress);
    QFETCH(QString, stopping);
    QFETCH(QString, stopped);
    const TemporaryFolder root;
    const TemporaryFolder scratch;
    const auto pidFile = scratch / "hanging.pid";
    if (work == "setup")
        provideRuntimeArchives(root.path());
    if (work == "repair") {
        setUpInstallation(root.path());
        damageInstallation(root.path());
    }
    HeldWork held;
    LauncherSettings settings = settingsFor(root.path());
    std::optional<ScopedEnvironmentVariable> hang;
    std::optional<ScopedEnvironmentVariable> pids;
    if (work == "download") {
        // Slow enough to stay below the archives' size while the test looks.
        held.growDownload(settings, 2'000);
    } else {
        // The Windows environment's first tool runs until it is killed, with a helper in its group.
        hang.emplace("STANDIN_HANG", "wineboot");
        pids.emplace("STANDIN_PID_FILE", pidFile.string());
    }
    Screen screen(std::move(settings));
    screen.waitForCheck();
    const char* start = work == "repair" ? "repairButton" : "setupButton";
    if (work != "repair")
        screen.chooseEverything();
    screen.click(start);

    // The focus rests on Cancel, and the bar follows the work with the command line's text.
    QVERIFY(screen.shown("cancelButton"));
    QCOMPARE(screen.text("cancelButton"), QString("Cancel"));
    QCOMPARE(QApplication::focusWidget(), &screen.find("cancelButton"));
    QVERIFY(screen.shown("progressBar"));
    const QRegularExpression pattern(progress);
    QTRY_VERIFY_WITH_TIMEOUT(pattern.match(screen.text("progressText")).hasMatch(), 60'000);
    const auto& bar = screen.find<ProgressBar>("progressBar");
    QCOMPARE(bar.fraction().has_value(), determinate);
    QCOMPARE(bar.isSweeping(), !determinate);
    if (determinate)
        QCOMPARE(static_cast<int>(std::floor(*bar.fraction() * 100)),
                 pattern.match(screen.text("progressText")).captured(1).toInt());
    if (work != "download")
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(pidFile), 30'000);

    screen.click("cancelButton");
    QCOMPARE(screen.text("cancelButton"), QString("Stopping…"));
    QCOMPARE(screen.text("statusLabel"), stopping);
    QCOMPARE(screen.text("progressText"), QString());
    QTRY_VERIFY_WITH_TIMEOUT(!screen.model.busy(), 30'000);

    // Stopped, not failed; the button that started it is where the player goes next.
    QCOMPARE(screen.text("statusLabel"), stopped);
    QVERIFY(!screen.shown("errorBox"));
    for (const char* gone : {"cancelButton", "setupProgress", "progressIndicator"})
        QVERIFY2(!screen.shown(gone), gone);
    QVERIFY(screen.shown(work == "repair" ? "repairPanel" : "setupPanel"));
    QVERIFY(screen.enabled(start));
    QCOMPARE(QApplication::focusWidget(), &screen.find(start));

    // Nothing it started runs on, and nothing of the stopped run is left in the way.
    if (work != "download")
        for (const pid_t pid : pidsIn(pidFile))
            QVERIFY2(hasEndedWithin(pid, std::chrono::seconds(1)), qPrintable(QString::number(pid)));
    for (const ProcessInfo& process : descendantsOf(getpid()))
        QVERIFY2(process.exited(), process.commandLine.c_str());
    QVERIFY(lockIsFree(root.path()));
    QCOMPARE(std::filesystem::exists(root / "installed.json"), work == "repair");
    for (const auto& entry : std::filesystem::directory_iterator(root.path()))
        QVERIFY2(entry.path().filename().string().find("-staging-") == std::string::npos, entry.path().c_str());
}

} // namespace launcher::testing

QTEST_MAIN(launcher::testing::LauncherViewSetupTest)
#include "LauncherViewSetupTest.moc"
