#include "ui/LauncherView.h"

#include "FakeDesktopServices.h"
#include "HeldWork.h"
#include "UiTestSupport.h"
#include "support/InstallationByHand.h"
#include "support/TemporaryFolder.h"
#include "ui/BusyIndicator.h"
#include "ui/FocusRing.h"
#include "ui/LauncherModel.h"
#include "ui/LauncherStyle.h"
#include "ui/WrappingLabel.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

#include <array>
#include <cmath>
#include <memory>

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

// A model and its view, shown at the window's content size, for one root folder.
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
    // Chooses both files in the folder, where they need not exist, and states ownership.
    // Both files (by default ones that exist) and the consent.
    void chooseEverything(const std::filesystem::path& game = setupGameSource(),
                          const std::filesystem::path& audio = setupAudioPackage())
    {
        model.setGameURL(fileUrl(game));
        model.setAudioURL(fileUrl(audio));
        model.setOwnsFiles(true);
    }
    // Starts a setup with files that do not exist and waits until it has failed.
    void failSetup()
    {
        chooseEverything("/nonexistent/game.zip", "/nonexistent/MPSetup.exe");
        model.install();
        QTRY_VERIFY_WITH_TIMEOUT(!model.busy(), 60'000);
    }
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
    QVERIFY(screen.shown("errorBox"));
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
    HeldWork held;
    LauncherSettings settings = settingsFor(root.path());
    held.holdSetup(settings);
    Screen screen(std::move(settings));
    if (busy) {
        // A setup started with everything it needs is still running.
        screen.chooseEverything();
        screen.model.install();
    }
    screen.model.setGameURL(game ? fileUrl(root / "game.zip") : QUrl());
    screen.model.setAudioURL(audio ? fileUrl(root / "MPSetup.exe") : QUrl());
    screen.model.setOwnsFiles(owns);
    QCOMPARE(screen.model.busy(), busy);
    QCOMPARE(screen.enabled("setupButton"), enabled);
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
    QCOMPARE(screen.text("errorDetailsLabel"),
             "Details: filesystem error: cannot create directories: Not a directory [" + path + "]");
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
    QCOMPARE(screen.text("errorLabel"), "Veyra 2 could not open " + QString::fromStdString((root / "Logs").string()) +
                                            ". Open it by hand from your file manager.");
    QVERIFY(!screen.shown("errorDetailsLabel"));
    screen.click("downloadLink");
    QCOMPARE(screen.text("errorLabel"), "Veyra 2 could not open " + screen.services.opened.back().toString() +
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
    QCOMPARE(QApplication::focusWidget(), &screen.find("setupButton"));
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
    held.release();
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

void LauncherViewTest::focusStartsAtTheFirstControlAndTabsTopToBottom_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("chosen");
    QTest::addColumn<QStringList>("order");
    const QStringList footer{"guideLink", "downloadLink", "logsLink"};
    QTest::newRow("nothing chosen") << false << false
                                    << QStringList{"gameButton", "audioButton", "consentCheckBox"} + footer;
    QTest::newRow("ready to set up") << false << true
                                     << QStringList{"gameButton", "audioButton", "consentCheckBox", "setupButton"} +
                                            footer;
    QTest::newRow("installed") << true << false << QStringList{"playButton", "saveFoldersButton"} + footer;
}

void LauncherViewTest::focusStartsAtTheFirstControlAndTabsTopToBottom()
{
    QFETCH(bool, installed);
    QFETCH(bool, chosen);
    QFETCH(QStringList, order);
    const TemporaryFolder root;
    if (installed)
        buildInstallationByHand(root.path());
    Screen screen(root.path());
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
    const std::pair<const char*, Qt::Key> keys[] = {
#if !defined(Q_OS_MACOS)
        // On macOS Return presses the default button only.
        {"Return", Qt::Key_Return},
        {"Enter", Qt::Key_Enter},
#endif
        {"Space", Qt::Key_Space},
    };
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

} // namespace launcher::testing

QTEST_MAIN(launcher::testing::LauncherViewTest)
#include "LauncherViewTest.moc"
