#include "ui/LauncherView.h"

#include "FakeDesktopServices.h"
#include "HeldWork.h"
#include "UiTestSupport.h"
#include "app/Verify.h"
#include "support/InstallationByHand.h"
#include "support/LockProbe.h"
#include "support/ProcessTree.h"
#include "support/ScopedEnvironmentVariable.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"
#include "ui/BusyIndicator.h"
#include "ui/DesktopConventions.h"
#include "ui/FocusRing.h"
#include "ui/LauncherModel.h"
#include "ui/LauncherStyle.h"
#include "ui/ProgressBar.h"
#include "ui/WrappingLabel.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

#include <array>
#include <cmath>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include <unistd.h>

namespace launcher::testing {
namespace {

const QString kLockMessage = "Another launcher is installing or playing Veyra 2. Close it before continuing.";
const QString kNeedsRepair = "Your installation needs repair.";
const QString kDecoderMissing = "The audio decoder is missing.";
const QString kGameFileMissing = "Game files are missing or changed: maps/mainmenu.map.";

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

// A model and its view, shown at the window's content size, for one root folder.
// The controls shown in the accessibility tree under `node` that a screen
// reader would announce without a name, by object name: whatever takes the
// focus, and what shows that work goes on. A progress bar must also be one to
// assistive technology, with its text as its value.
QStringList unnamedControls(QAccessibleInterface* node)
{
    QStringList found;
    if (node == nullptr || node->state().invisible)
        return found;
    const auto* widget = qobject_cast<const QWidget*>(node->object());
    const bool progress = qobject_cast<const ProgressBar*>(widget) != nullptr;
    const bool control = widget != nullptr && (widget->focusPolicy() != Qt::NoFocus || progress ||
                                                qobject_cast<const BusyIndicator*>(widget) != nullptr);
    const QString name = widget != nullptr ? widget->objectName() : QString("?");
    if (control && node->text(QAccessible::Name).trimmed().isEmpty())
        found << name;
    if (progress && (node->role() != QAccessible::ProgressBar || node->valueInterface() == nullptr ||
                     node->text(QAccessible::Value) != static_cast<const ProgressBar*>(widget)->text()))
        found << name + " (not a progress bar with its text as value)";
    for (int index = 0; index < node->childCount(); ++index)
        found << unnamedControls(node->child(index));
    return found;
}

struct Screen {
    explicit Screen(const std::filesystem::path& root, std::optional<std::filesystem::path> guide = std::nullopt)
        : Screen(settingsFor(root, guide.value_or("/nonexistent")))
    {
    }
    explicit Screen(LauncherSettings settings)
        : model(services, std::move(settings))
        , view(model)
    {
        view.resize(760, 650);
        view.show();
        view.activateWindow();
        if (!QTest::qWaitForWindowActive(&view))
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
    // Both files (by default ones that setup takes) and the consent, once the
    // game files' check has ended.
    void chooseEverything(const std::filesystem::path& game = setupGameSource(),
                          const std::filesystem::path& audio = setupAudioPackage())
    {
        chooseSetupFiles(model, game, audio);
    }
    // Starts a setup and waits until it has failed, as it does at once in a root that cannot be.
    void failSetup()
    {
        chooseEverything();
        model.install();
        QTRY_VERIFY_WITH_TIMEOUT(!model.busy(), 60'000);
    }
    void click(const char* name) { QTest::mouseClick(&find(name), Qt::LeftButton); }
    void waitForCheck() { QTRY_VERIFY_WITH_TIMEOUT(!model.state().checking(), 60'000); }
    // The damage the repair panel lists, top to bottom.
    QStringList damage()
    {
        QStringList lines;
        for (const WrappingLabel* line : find("damagePanel").findChildren<WrappingLabel*>("damageLine"))
            lines << line->text();
        return lines;
    }

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
    void focusStartsAtTheFirstControlAndTabsTopToBottom_data();
    void focusStartsAtTheFirstControlAndTabsTopToBottom();
    void theFocusedControlIsRingedInTheAccentColour_data();
    void theFocusedControlIsRingedInTheAccentColour();
    void enterAndSpacePressTheFocusedControl_data();
    void enterAndSpacePressTheFocusedControl();
    void cancelStopsSetupWhereverItRuns_data();
    void cancelStopsSetupWhereverItRuns();
    void repairPanelTakesThePlaceOfTheOthersAtEachTrigger_data();
    void repairPanelTakesThePlaceOfTheOthersAtEachTrigger();
    void repairAsksOnlyForTheFilesItNeeds_data();
    void repairAsksOnlyForTheFilesItNeeds();
    void repairMendsTheInstallationAndShowsTheInstalledPanel();
    void refusedRepairTellsTheWayOn_data();
    void refusedRepairTellsTheWayOn();
    void everyControlShownHasAnAccessibleName_data();
    void everyControlShownHasAnAccessibleName();
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

void LauncherViewTest::choosingShowsTheChosenNameAndConsentIsTwoWay()
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

void LauncherViewTest::longErrorScrollsInsteadOfSqueezingTheRows()
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

void LauncherViewTest::setupButtonNeedsBothFilesAndConsentAndNoSetup_data()
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

void LauncherViewTest::setupButtonNeedsBothFilesAndConsentAndNoSetup()
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

void LauncherViewTest::setupDisablesEveryChoiceAndTurnsTheIndicator()
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

    HeldWork held;
    held.startGame([&] { screen.model.play(); });
    QVERIFY(!screen.enabled("playButton"));
    QVERIFY(screen.enabled("saveFoldersButton"));
    QVERIFY(screen.shown("progressIndicator"));

    screen.click("saveFoldersButton");
    QCOMPARE(screen.services.opened, std::vector<QUrl>({fileUrl(root / "Install/prefix/drive_c/users")}));
}

void LauncherViewTest::fileFailureShowsAPlainSentenceWithItsDetailsAndWraps()
{
    const TemporaryFolder root;
    const auto home = blockedRoot(root);
    Screen screen(home);
    screen.failSetup();
    QVERIFY(screen.shown("errorBox"));
    const QString path = QString::fromStdString(home.string());
    const QString blocker = QString::fromStdString(home.parent_path().string());
    // Shown as it is: the markup in the path stays text.
    QCOMPARE(screen.text("errorLabel"), "Veyra 2 could not create the folder " + path + ": the file " + blocker +
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

void LauncherViewTest::whatCannotBeOpenedIsShownInTheErrorBox()
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

void LauncherViewTest::failedSetupShowsTheMessageAndNeedsAttention()
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

void LauncherViewTest::playIsDisabledWhileTheGameRuns()
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
    held.release();
    QTRY_VERIFY_WITH_TIMEOUT(screen.enabled("playButton"), 30'000);
    QVERIFY(!screen.shown("progressIndicator"));
    QCOMPARE(screen.text("statusLabel"), QString("Your installation is ready."));
    QVERIFY(screen.shown("errorBox"));
    QCOMPARE(screen.text("errorLabel"), QString("Veyra 2 exited unexpectedly. Open Logs for details."));
    // Back on Play, so that the next Space starts the game again and opens no folder.
    QCOMPARE(QApplication::focusWidget(), &screen.find("playButton"));
}

void LauncherViewTest::lockHeldElsewhereIsShownAsTheError()
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

void LauncherViewTest::focusStartsAtTheFirstControlAndTabsTopToBottom_data()
{
    QTest::addColumn<QString>("installation");
    QTest::addColumn<bool>("chosen");
    QTest::addColumn<QStringList>("order");
    const QStringList footer{"guideLink", "downloadLink", "logsLink"};
    QTest::newRow("nothing chosen") << "none" << false
                                    << QStringList{"gameButton", "audioButton", "consentCheckBox"} + footer;
    QTest::newRow("ready to set up") << "none" << true
                                     << QStringList{"gameButton", "audioButton", "consentCheckBox", "setupButton"} +
                                            footer;
    QTest::newRow("installed") << "complete" << false << QStringList{"playButton", "saveFoldersButton"} + footer;
    QTest::newRow("damaged") << "damaged" << false << QStringList{"repairButton"} + footer;
    QTest::newRow("damaged, game files needed")
        << "game damaged" << false << QStringList{"repairGameButton"} + footer;
}

void LauncherViewTest::focusStartsAtTheFirstControlAndTabsTopToBottom()
{
    QFETCH(QString, installation);
    QFETCH(bool, chosen);
    QFETCH(QStringList, order);
    const TemporaryFolder root;
    if (installation == "complete")
        buildInstallationByHand(root.path());
    Screen screen(root.path());
    // What the check of a damaged installation finds; the panel's controls follow from it alone.
    if (installation.contains("damaged"))
        screen.model.showInstallation(InstallationState::needsRepair,
                                      {.damage = {kDecoderMissing}, .needsGame = installation == "game damaged"});
    if (chosen)
        screen.chooseEverything();
    QStringList visited;
    for (qsizetype step = 0; step <= order.size(); ++step) {
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused != nullptr);
        visited << focused->objectName();
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    // Round the window and back to the start.
    QCOMPARE(visited, order + QStringList{order.first()});
}

namespace {

// WCAG's contrast ratio of two opaque colours.
double contrast(const QColor& one, const QColor& other)
{
    const auto luminance = [](const QColor& colour) {
        const auto linear = [](float c) { return c <= 0.04045f ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
    };
    const double a = luminance(one);
    const double b = luminance(other);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

bool isAccent(const QColor& colour)
{
    const QColor accent = style::accent();
    return std::abs(colour.red() - accent.red()) <= 12 && std::abs(colour.green() - accent.green()) <= 12 &&
           std::abs(colour.blue() - accent.blue()) <= 12;
}

} // namespace

void LauncherViewTest::theFocusedControlIsRingedInTheAccentColour_data()
{
    QTest::addColumn<QString>("control");
    for (const char* control : {"gameButton", "audioButton", "consentCheckBox", "setupButton", "playButton",
                                "saveFoldersButton", "guideLink", "downloadLink", "logsLink"})
        QTest::newRow(control) << QString(control);
}

void LauncherViewTest::theFocusedControlIsRingedInTheAccentColour()
{
    QFETCH(QString, control);
    const TemporaryFolder root;
    if (control == "playButton" || control == "saveFoldersButton")
        buildInstallationByHand(root.path());
    Screen screen(root.path());
    screen.chooseEverything();
    QWidget& widget = screen.find(qPrintable(control));
    const QRect area(widget.mapTo(&screen.view, QPoint(0, 0)), widget.size());
    // The middle of each side of the ring, and just outside it.
    const auto sides = [&](int outset) {
        const QPoint centre = area.center();
        return std::array{QPoint(centre.x(), area.top() - outset), QPoint(centre.x(), area.bottom() + outset),
                          QPoint(area.left() - outset, centre.y()), QPoint(area.right() + outset, centre.y())};
    };
    const int onRing = FocusRing::kOutset - 1;

    screen.find(control == "guideLink" ? "logsLink" : "guideLink").setFocus();
    QImage picture = screen.view.grab().toImage();
    for (const QPoint& point : sides(onRing))
        QVERIFY2(!isAccent(picture.pixelColor(point)), "no ring without the focus");

    widget.setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), &widget);
    picture = screen.view.grab().toImage();
    const auto ring = sides(onRing);
    const auto outside = sides(FocusRing::kOutset + 1);
    for (std::size_t side = 0; side < ring.size(); ++side) {
        const QColor colour = picture.pixelColor(ring[side]);
        QVERIFY2(isAccent(colour), qPrintable(QString("side %1 is %2").arg(side).arg(colour.name())));
        QVERIFY(contrast(colour, picture.pixelColor(outside[side])) >= 3);
    }
}

void LauncherViewTest::enterAndSpacePressTheFocusedControl_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("key");
    std::vector<std::pair<const char*, Qt::Key>> keys{{"Space", Qt::Key_Space}};
    if (desktop::kEnterPressesFocusedControl)
        keys.insert(keys.end(), {{"Return", Qt::Key_Return}, {"Enter", Qt::Key_Enter}});
    for (const char* control : {"gameButton", "audioButton", "consentCheckBox", "setupButton", "playButton",
                                "saveFoldersButton", "guideLink", "downloadLink", "logsLink"})
        for (const auto& [name, key] : keys)
            QTest::newRow((QByteArray(control) + ", " + name).constData()) << QString(control) << static_cast<int>(key);
}

void LauncherViewTest::enterAndSpacePressTheFocusedControl()
{
    QFETCH(QString, control);
    QFETCH(int, key);
    const TemporaryFolder root;
    writeFile(root / "Setup Guide.html", "<!doctype html>");
    if (control == "playButton" || control == "saveFoldersButton")
        buildInstallationByHand(root.path());
    HeldWork held;
    LauncherSettings settings = settingsFor(root.path(), root / "Setup Guide.html");
    held.holdSetup(settings);
    Screen screen(std::move(settings));
    screen.chooseEverything();
    QWidget& widget = screen.find(qPrintable(control));
    widget.setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), &widget);

    // Whatever the control does is one of these.
    QSignalSpy consent(&screen.model, &LauncherModel::ownsFilesChanged);
    QSignalSpy setup(&screen.model, &LauncherModel::busyChanged);
    QSignalSpy game(&screen.model, &LauncherModel::playingChanged);
    held.startGame([&] { QTest::keyClick(&widget, static_cast<Qt::Key>(key)); });
    const auto done = screen.services.panels.size() + screen.services.opened.size() + consent.count() +
                      setup.count() + game.count();
    QCOMPARE(done, 1u);
}

void LauncherViewTest::cancelStopsSetupWhereverItRuns_data()
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

void LauncherViewTest::cancelStopsSetupWhereverItRuns()
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

void LauncherViewTest::repairPanelTakesThePlaceOfTheOthersAtEachTrigger_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::newRow("at start") << "start";
    QTest::newRow("after a failed setup") << "setup";
    QTest::newRow("after Play") << "play";
}

void LauncherViewTest::repairPanelTakesThePlaceOfTheOthersAtEachTrigger()
{
    QFETCH(QString, trigger);
    const TemporaryFolder root;
    setUpInstallation(root.path());
    const auto record = root / "installed.json";
    if (trigger == "start")
        damageInstallation(root.path());
    if (trigger == "setup")
        std::filesystem::rename(record, root / "aside.json");
    Screen screen(root.path());
    screen.waitForCheck();
    QStringList statuses;
    connect(&screen.model, &LauncherModel::statusChanged, this, [&] { statuses << screen.text("statusLabel"); });
    if (trigger == "setup") {
        QVERIFY(screen.shown("setupPanel"));
        // Another launcher's installation turns up while this window sets up, and is damaged since.
        std::filesystem::rename(root / "aside.json", record);
        damageInstallation(root.path());
        screen.chooseEverything();
        screen.click("setupButton");
    }
    if (trigger == "play") {
        QVERIFY(screen.shown("installedPanel"));
        damageInstallation(root.path());
        screen.click("playButton");
    }
    // The launch runs off the GUI thread too; its failure hands over to the check.
    QTRY_VERIFY_WITH_TIMEOUT(!screen.model.busy() && !screen.model.playing() && !screen.model.state().checking(), 60'000);

    QVERIFY(screen.shown("repairPanel"));
    QVERIFY(!screen.shown("setupPanel"));
    QVERIFY(!screen.shown("installedPanel"));
    QCOMPARE(screen.text("headline"), QString("Almost ready again."));
    QCOMPARE(screen.text("subheadline"),
             QString("Part of your installation is missing or damaged. Repair puts it right without starting over."));
    QCOMPARE(screen.text("damageLabel"), QString("Needs repair"));
    QCOMPARE(screen.damage(), QStringList{kDecoderMissing});
    QVERIFY(!screen.shown("damageNote"));
    // The panel tells what the refusal that led here would have said.
    QVERIFY(!screen.shown("errorBox"));
    if (trigger != "start")
        QVERIFY(statuses.contains("Checking your installation…"));
    QCOMPARE(screen.text("statusLabel"), kNeedsRepair);
    QVERIFY(!screen.shown("progressIndicator"));
    // The launcher's own copy of the decoder is all repair needs.
    QVERIFY(!screen.shown("repairGameRow"));
    QVERIFY(!screen.shown("repairAudioRow"));
    QCOMPARE(screen.text("repairButton"), QString("Repair Veyra 2"));
    QVERIFY(screen.enabled("repairButton"));
    QCOMPARE(QApplication::focusWidget(), &screen.find("repairButton"));
}

void LauncherViewTest::repairAsksOnlyForTheFilesItNeeds_data()
{
    QTest::addColumn<bool>("gameFile");
    QTest::addColumn<bool>("decoderCopy");
    QTest::addColumn<QStringList>("damage");
    QTest::addColumn<QString>("audioStep");
    QTest::newRow("decoder") << false << false << QStringList{kDecoderMissing} << QString();
    QTest::newRow("a game file") << true << false << QStringList{kGameFileMissing, kDecoderMissing} << QString();
    QTest::newRow("decoder and its verified copy") << false << true << QStringList{kDecoderMissing} << "01";
    QTest::newRow("all three") << true << true << QStringList{kGameFileMissing, kDecoderMissing} << "02";
}

void LauncherViewTest::repairAsksOnlyForTheFilesItNeeds()
{
    QFETCH(bool, gameFile);
    QFETCH(bool, decoderCopy);
    QFETCH(QStringList, damage);
    QFETCH(QString, audioStep);
    const TemporaryFolder root;
    setUpInstallation(root.path());
    damageInstallation(root.path(), gameFile, decoderCopy);
    Screen screen(root.path());
    screen.waitForCheck();

    QCOMPARE(screen.damage(), damage);
    QCOMPARE(screen.shown("repairGameRow"), gameFile);
    QCOMPARE(screen.shown("repairAudioRow"), decoderCopy);
    if (decoderCopy)
        QCOMPARE(screen.text("repairAudioStep"), audioStep);
    // The focus is on the first file still to choose; repair waits for every one it needs.
    const char* first = gameFile ? "repairGameButton" : decoderCopy ? "repairAudioButton" : "repairButton";
    QCOMPARE(QApplication::focusWidget(), &screen.find(first));
    if (gameFile) {
        QVERIFY(!screen.enabled("repairButton"));
        screen.services.willChoose(fileUrl(setupGameSource()));
        screen.click("repairGameButton");
        awaitGameCheck(screen.model);
        QCOMPARE(screen.text("repairGameDetail"), QString("installer.zip"));
    }
    if (decoderCopy) {
        QVERIFY(!screen.enabled("repairButton"));
        screen.services.willChoose(fileUrl(setupAudioPackage()));
        screen.click("repairAudioButton");
        QCOMPARE(screen.text("repairAudioButton"), QString("Change…"));
    }
    QVERIFY(screen.enabled("repairButton"));
}

void LauncherViewTest::repairMendsTheInstallationAndShowsTheInstalledPanel()
{
    const TemporaryFolder root;
    setUpInstallation(root.path());
    damageInstallation(root.path(), true);
    Screen screen(root.path());
    screen.waitForCheck();
    QStringList statuses;
    connect(&screen.model, &LauncherModel::statusChanged, this, [&] { statuses << screen.text("statusLabel"); });
    screen.services.willChoose(fileUrl(setupGameSource()));
    screen.click("repairGameButton");
    awaitGameCheck(screen.model);
    // While the chosen files are read, the status line says so, then goes back to what is next.
    QCOMPARE(statuses, QStringList({"Looking at your game files…", "Your installation needs repair."}));
    statuses.clear();
    screen.click("repairButton");

    QCOMPARE(screen.text("repairButton"), QString("Repairing…"));
    for (const char* control : {"repairGameButton", "repairButton"})
        QVERIFY2(!screen.enabled(control), control);
    QVERIFY(screen.shown("progressIndicator"));
    QTRY_VERIFY_WITH_TIMEOUT(!screen.model.busy(), 60'000);

    QVERIFY(screen.shown("installedPanel"));
    QVERIFY(!screen.shown("repairPanel"));
    QVERIFY(!screen.shown("errorBox"));
    QCOMPARE(screen.text("headline"), QString("Ready when you are."));
    // Only the damaged steps ran, and the model's own line came last.
    QCOMPARE(statuses.first(), QString("Importing your Veyra 2 files"));
    QVERIFY(statuses.contains("Installing your verified audio decoder"));
    QVERIFY(!statuses.contains("Unpacking the verified runtime"));
    QCOMPARE(statuses.last(), QString("Your installation is ready."));
    QCOMPARE(QApplication::focusWidget(), &screen.find("playButton"));
    QVERIFY(verify(Installation(root.path(), {}, testHost())).sound());
}

void LauncherViewTest::refusedRepairTellsTheWayOn_data()
{
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("error");
    QTest::newRow("game files needed")
        << "game" << "Repair must import the game files again. Choose your Veyra 2 game files, then repair.";
    QTest::newRow("no installation left") << "record" << "There is no installation to repair. Set up Veyra 2 first.";
}

void LauncherViewTest::refusedRepairTellsTheWayOn()
{
    QFETCH(QString, refusal);
    QFETCH(QString, error);
    const TemporaryFolder root;
    setUpInstallation(root.path());
    damageInstallation(root.path(), true);
    std::optional<ForeignLockHolder> otherLauncher;
    // While another launcher holds the lock, the check cannot look: it does not learn that repair needs the game.
    if (refusal == "game")
        otherLauncher.emplace(root.path());
    Screen screen(root.path());
    screen.waitForCheck();
    if (refusal == "game") {
        QCOMPARE(screen.text("errorLabel"), kLockMessage);
        QVERIFY(screen.shown("damageNote"));
        QVERIFY(!screen.shown("repairGameRow"));
        otherLauncher.reset();
    } else {
        // The record goes after the check, by the player's hand.
        screen.services.willChoose(fileUrl(setupGameSource()));
        screen.click("repairGameButton");
        awaitGameCheck(screen.model);
        std::filesystem::remove(root / "installed.json");
    }
    screen.click("repairButton");
    QTRY_VERIFY_WITH_TIMEOUT(!screen.model.busy(), 60'000);

    QCOMPARE(screen.text("errorLabel"), error);
    QVERIFY2(!screen.text("errorLabel").contains("--"), "the window names no command-line flags");
    if (refusal == "game") {
        // The panel now asks for what repair said it needs.
        QVERIFY(screen.shown("repairPanel"));
        QVERIFY(screen.shown("repairGameRow"));
        QVERIFY(!screen.enabled("repairButton"));
        QCOMPARE(screen.text("statusLabel"), QString("Repair needs attention. Your saves are unchanged."));
        QCOMPARE(QApplication::focusWidget(), &screen.find("repairGameButton"));
    } else {
        // Nothing is left to repair: setup is the way on.
        QVERIFY(screen.shown("setupPanel"));
        QVERIFY(!screen.shown("repairPanel"));
        QCOMPARE(screen.text("headline"), QString("Your game. Ready for Mac."));
        QCOMPARE(screen.text("statusLabel"), QString("Select your files to get started."));
    }
}

void LauncherViewTest::everyControlShownHasAnAccessibleName_data()
{
    QTest::addColumn<QString>("state");
    for (const char* state : {"first start", "files chosen", "game files refused", "error", "setting up", "installed",
                              "needs repair"})
        QTest::newRow(state) << state;
}

void LauncherViewTest::everyControlShownHasAnAccessibleName()
{
    QFETCH(QString, state);
    const TemporaryFolder root;
    if (state == "installed")
        buildInstallationByHand(root.path());
    if (state == "needs repair") {
        setUpInstallation(root.path());
        damageInstallation(root.path(), true);
    }
    HeldWork held;
    LauncherSettings settings = settingsFor(root.path());
    held.holdSetup(settings);
    Screen screen(std::move(settings));
    screen.waitForCheck();
    if (state == "files chosen" || state == "setting up")
        screen.chooseEverything();
    if (state == "game files refused")
        screen.chooseEverything(fixture("game/no-game.zip"));
    if (state == "setting up") {
        screen.click("setupButton");
        QVERIFY(screen.model.busy());
    }
    if (state == "error") {
        screen.model.play();
        QTRY_VERIFY_WITH_TIMEOUT(screen.shown("errorBox"), 30'000);
    }

    const QStringList unnamed = unnamedControls(QAccessible::queryAccessibleInterface(&screen.view));
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    // The error box reads as its message, which its alert announces.
    if (state == "error")
        QCOMPARE(QAccessible::queryAccessibleInterface(&screen.find("errorBox"))->text(QAccessible::Name),
                 screen.text("errorLabel"));
}

} // namespace launcher::testing

QTEST_MAIN(launcher::testing::LauncherViewTest)
#include "LauncherViewTest.moc"
