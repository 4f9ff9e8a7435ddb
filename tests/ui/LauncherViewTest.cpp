#include "ui/LauncherView.h"

#include "FakeDesktopServices.h"
#include "UiTestSupport.h"
#include "support/InstallationByHand.h"
#include "support/ScopedEnvironmentVariable.h"
#include "support/TemporaryFolder.h"
#include "ui/BusyIndicator.h"
#include "ui/LauncherModel.h"
#include "ui/LauncherStyle.h"
#include "ui/WrappingLabel.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace launcher::testing {
namespace {

const QString kLockMessage = "Another launcher is installing or playing Veyra 2. Close it before continuing.";

// A model and its view, shown at the window's content size, for one root folder.
struct Screen {
    explicit Screen(const std::filesystem::path& root, std::optional<std::filesystem::path> guide = std::nullopt)
        : model(services, settingsFor(root, guide.value_or("/nonexistent")))
        , view(model, services)
    {
        view.resize(760, 650);
        view.show();
        if (!QTest::qWaitForWindowExposed(&view))
            qFatal("The launcher view was not shown");
    }

    template <typename Widget = QWidget>
    Widget& find(const char* name)
    {
        auto* widget = view.findChild<Widget*>(name);
        if (widget == nullptr)
            qFatal("No widget named %s", name);
        return *widget;
    }
    QString text(const char* name)
    {
        if (auto* label = view.findChild<QLabel*>(name))
            return label->text();
        if (auto* wrapping = view.findChild<WrappingLabel*>(name))
            return wrapping->text();
        return find<QAbstractButton>(name).text();
    }
    bool shown(const char* name) { return find(name).isVisible(); }
    bool enabled(const char* name) { return find(name).isEnabled(); }
    void click(const char* name) { QTest::mouseClick(&find(name), Qt::LeftButton); }

    FakeDesktopServices services;
    LauncherModel model;
    LauncherView view;
};

} // namespace

class LauncherViewTest final : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { LauncherModel::waitForBackgroundWork(); }

    void firstStartShowsTheSetupPanel();
    void textsUseTheDarkScheme();
    void choosingShowsTheChosenNameAndConsentIsTwoWay();
    void setupButtonNeedsBothFilesAndConsentAndNoSetup_data();
    void setupButtonNeedsBothFilesAndConsentAndNoSetup();
    void setupDisablesEveryChoiceAndTurnsTheIndicator();
    void installedPanelFollowsReadyAndPlaying();
    void errorBoxShowsTheErrorVerbatimAndWraps();
    void linksOpenGuideDownloadPageAndLogs();
    void failedSetupShowsTheMessageAndNeedsAttention();
    void successfulSetupSwitchesToTheInstalledPanel();
    void playIsDisabledWhileTheGameRuns();
    void lockHeldElsewhereIsShownAsTheError();
};

void LauncherViewTest::firstStartShowsTheSetupPanel()
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

void LauncherViewTest::textsUseTheDarkScheme()
{
    const TemporaryFolder root;
    Screen screen(root.path());
    screen.model.setError(QString("A failure."));
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

void LauncherViewTest::choosingShowsTheChosenNameAndConsentIsTwoWay()
{
    const TemporaryFolder root;
    Screen screen(root.path());
    screen.services.willChoose(fileUrl(root / "Games/Veyra 2 Kestrane"));
    screen.click("gameButton");
    QCOMPARE(screen.text("gameDetail"), QString("Veyra 2 Kestrane"));
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

void LauncherViewTest::setupButtonNeedsBothFilesAndConsentAndNoSetup_data()
{
    QTest::addColumn<bool>("game");
    QTest::addColumn<bool>("audio");
    QTest::addColumn<bool>("owns");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("everything") << true << true << true << false << true;
    QTest::newRow("no game") << false << true << true << false << false;
    QTest::newRow("no audio") << true << false << true << false << false;
    QTest::newRow("no consent") << true << true << false << false << false;
    QTest::newRow("setting up") << true << true << true << true << false;
}

void LauncherViewTest::setupButtonNeedsBothFilesAndConsentAndNoSetup()
{
    QFETCH(bool, game);
    QFETCH(bool, audio);
    QFETCH(bool, owns);
    QFETCH(bool, busy);
    QFETCH(bool, enabled);
    const TemporaryFolder root;
    Screen screen(root.path());
    screen.model.setGameURL(game ? fileUrl(root / "game.zip") : QUrl());
    screen.model.setAudioURL(audio ? fileUrl(root / "MPSetup.exe") : QUrl());
    screen.model.setOwnsFiles(owns);
    screen.model.setBusy(busy);
    QCOMPARE(screen.enabled("setupButton"), enabled);
}

void LauncherViewTest::setupDisablesEveryChoiceAndTurnsTheIndicator()
{
    const TemporaryFolder root;
    Screen screen(root.path());
    screen.model.setBusy(true);
    screen.model.setStatus("Unpacking the verified runtime");
    for (const char* control : {"gameButton", "audioButton", "consentCheckBox", "setupButton"})
        QVERIFY2(!screen.enabled(control), control);
    QCOMPARE(screen.text("setupButton"), QString("Setting up…"));
    QVERIFY(screen.shown("progressIndicator"));
    QVERIFY(screen.find<BusyIndicator>("progressIndicator").isAnimating());
    QCOMPARE(screen.text("statusLabel"), QString("Unpacking the verified runtime"));

    screen.model.setBusy(false);
    QVERIFY(screen.enabled("gameButton"));
    QVERIFY(!screen.shown("progressIndicator"));
    QCOMPARE(screen.text("setupButton"), QString("Set up Veyra 2"));
}

void LauncherViewTest::installedPanelFollowsReadyAndPlaying()
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

    screen.model.setPlaying(true);
    QVERIFY(!screen.enabled("playButton"));
    QVERIFY(screen.enabled("saveFoldersButton"));
    QVERIFY(screen.shown("progressIndicator"));

    screen.click("saveFoldersButton");
    QCOMPARE(screen.services.opened, std::vector<QUrl>({fileUrl(root / "Install/prefix/drive_c/users")}));
}

void LauncherViewTest::errorBoxShowsTheErrorVerbatimAndWraps()
{
    const TemporaryFolder root;
    Screen screen(root.path());
    const QString message = "<b>Not bold</b> filesystem error: cannot copy: Permission denied [/Users/player/" +
                            QString("VeryLongFolderName").repeated(12) + "/vy2pc_data.bin]";
    screen.model.setError(message);
    QVERIFY(screen.shown("errorBox"));
    auto& label = screen.find<WrappingLabel>("errorLabel");
    QCOMPARE(label.text(), message);
    QTRY_VERIFY2(label.height() >= 3 * label.fontMetrics().lineSpacing(), "the message wraps onto several lines");
    QVERIFY2(screen.view.minimumSizeHint().width() <= 720, "a long word does not widen the window");

    const QString status = "A status line " + QString("that goes on and on ").repeated(10);
    screen.model.setStatus(status);
    auto& statusLabel = screen.find<WrappingLabel>("statusLabel");
    QCOMPARE(statusLabel.text(), status);
    QTRY_VERIFY(statusLabel.height() >= 2 * statusLabel.fontMetrics().lineSpacing());

    screen.model.setError(std::nullopt);
    QVERIFY(!screen.shown("errorBox"));
}

void LauncherViewTest::linksOpenGuideDownloadPageAndLogs()
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

void LauncherViewTest::failedSetupShowsTheMessageAndNeedsAttention()
{
    const TemporaryFolder root;
    writeFile(root / "launcher.lock", "");
    writeFile(root / "installed.json", "{}");
    Screen screen(root.path());
    screen.model.setGameURL(fileUrl(root / "game.zip"));
    screen.model.setAudioURL(fileUrl(root / "MPSetup.exe"));
    screen.click("consentCheckBox");
    screen.click("setupButton");
    QCOMPARE(screen.text("setupButton"), QString("Setting up…"));
    QTRY_VERIFY_WITH_TIMEOUT(screen.enabled("setupButton"), 60'000);
    QVERIFY(screen.shown("errorBox"));
    QCOMPARE(screen.text("errorLabel"),
             QString("An installation already exists. Its game files and saves were left untouched."));
    QCOMPARE(screen.text("statusLabel"), QString("Setup needs attention. Your source files are unchanged."));
    QVERIFY(screen.shown("setupPanel"));
    QVERIFY(!screen.shown("progressIndicator"));
}

void LauncherViewTest::successfulSetupSwitchesToTheInstalledPanel()
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
    screen.click("setupButton");
    QTRY_VERIFY_WITH_TIMEOUT(!screen.model.busy(), 180'000);

    QVERIFY(screen.shown("installedPanel"));
    QVERIFY(!screen.shown("setupPanel"));
    QVERIFY(!screen.shown("errorBox"));
    QCOMPARE(shown.first(), QString("Verifying your audio package"));
    QCOMPARE(shown.last(), QString("Your installation is ready."));
    QVERIFY(shown.contains("Installing your verified audio decoder"));
}

void LauncherViewTest::playIsDisabledWhileTheGameRuns()
{
    const TemporaryFolder root;
    buildInstallationByHand(root.path());
    const auto quitGame = root / "quit-game";
    Screen screen(root.path());
    {
        // The stand-in game runs until told to quit, then fails.
        const ScopedEnvironmentVariable until("STANDIN_GAME_UNTIL", quitGame.string());
        const ScopedEnvironmentVariable exit("STANDIN_GAME_EXIT", "7");
        screen.click("playButton");
    }

    QVERIFY(!screen.enabled("playButton"));
    QVERIFY(screen.shown("progressIndicator"));
    QCOMPARE(screen.text("statusLabel"), QString("Veyra 2 is starting. The first launch can take a few minutes."));
    writeFile(quitGame, "");
    QTRY_VERIFY_WITH_TIMEOUT(screen.enabled("playButton"), 30'000);
    QVERIFY(!screen.shown("progressIndicator"));
    QCOMPARE(screen.text("statusLabel"), QString("Your installation is ready."));
    QVERIFY(screen.shown("errorBox"));
    QCOMPARE(screen.text("errorLabel"), QString("Veyra 2 exited unexpectedly. Open Logs for details."));
}

void LauncherViewTest::lockHeldElsewhereIsShownAsTheError()
{
    const TemporaryFolder root;
    buildInstallationByHand(root.path());
    const ForeignLockHolder otherLauncher(root.path());
    Screen screen(root.path());
    screen.click("playButton");
    QVERIFY(screen.shown("errorBox"));
    QCOMPARE(screen.text("errorLabel"), kLockMessage);
    QVERIFY(screen.enabled("playButton"));
    QCOMPARE(screen.text("statusLabel"), QString("Your installation is ready."));
}

} // namespace launcher::testing

QTEST_MAIN(launcher::testing::LauncherViewTest)
#include "LauncherViewTest.moc"
