// The window's repair panel: when it takes the others' place, what it asks for,
// a repair that mends, and one that is refused.

#include "ViewScreen.h"

#include "FakeDesktopServices.h"
#include "UiTestSupport.h"
#include "app/Verify.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"

#include <QApplication>
#include <QtTest>

namespace launcher::testing {
namespace {

const QString kLockMessage = "Another launcher is installing or playing Veyra 2. Close it before continuing.";
const QString kNeedsRepair = "Your installation needs repair.";
const QString kDecoderMissing = "The audio decoder is missing.";
const QString kGameFileMissing = "Game files are missing or changed: maps/mainmenu.map.";



} // namespace

class LauncherViewRepairTest final : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { LauncherModel::waitForBackgroundWork(); }

    void repairPanelTakesThePlaceOfTheOthersAtEachTrigger_data();
    void repairPanelTakesThePlaceOfTheOthersAtEachTrigger();
    void repairAsksOnlyForTheFilesItNeeds_data();
    void repairAsksOnlyForTheFilesItNeeds();
    void repairMendsTheInstallationAndShowsTheInstalledPanel();
    void refusedRepairTellsTheWayOn_data();
    void refusedRepairTellsTheWayOn();
};

void LauncherViewRepairTest::repairPanelTakesThePlaceOfTheOthersAtEachTrigger_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::newRow("at start") << "start";
    QTest::newRow("after a failed setup") << "setup";
    QTest::newRow("after Play") << "play";
}

void LauncherViewRepairTest::repairPanelTakesThePlaceOfTheOthersAtEachTrigger()
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

void LauncherViewRepairTest::repairAsksOnlyForTheFilesItNeeds_data()
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

void LauncherViewRepairTest::repairAsksOnlyForTheFilesItNeeds()
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

void LauncherViewRepairTest::repairMendsTheInstallationAndShowsTheInstalledPanel()
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

void LauncherViewRepairTest::refusedRepairTellsTheWayOn_data()
{
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("error");
    QTest::newRow("game files needed")
        << "game" << "Repair must import the game files again. Choose your Veyra 2 game files, then repair.";
    QTest::newRow("no installation left") << "record" << "There is no installation to repair. Set up Veyra 2 first.";
}

void LauncherViewRepairTest::refusedRepairTellsTheWayOn()
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

} // namespace launcher::testing

QTEST_MAIN(launcher::testing::LauncherViewRepairTest)
#include "LauncherViewRepairTest.moc"
