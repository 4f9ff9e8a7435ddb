#include "ui/LauncherModel.h"

#include "FakeDesktopServices.h"
#include "HeldWork.h"
#include "UiTestSupport.h"
#include "core/InstallationRecord.h"
#include "saves/SavesRestore.h"
#include "support/InstallationByHand.h"
#include "support/LockProbe.h"
#include "support/SetupStatusLines.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"

#include <QDir>
#include <QMetaProperty>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace launcher::testing {
namespace {

const QString kReady = "Your installation is ready.";
const QString kNeedsAttention = "Setup needs attention. Your source files are unchanged.";
const QString kLockMessage = "Another launcher is installing or playing Veyra 2. Close it before continuing.";
const QString kIncomplete = "Setup is incomplete. Complete setup before launching Veyra 2.";
constexpr int kSetupTimeout = 180'000;

// Counts every change signal of the model but those of the properties named.
class ChangeLog final {
public:
    explicit ChangeLog(const LauncherModel& model, const QList<QByteArray>& ignored = {})
    {
        const QMetaObject& meta = LauncherModel::staticMetaObject;
        for (int index = meta.propertyOffset(); index < meta.propertyCount(); ++index)
            if (!ignored.contains(meta.property(index).name()))
                m_spies.push_back(std::make_unique<QSignalSpy>(&model, meta.property(index).notifySignal()));
    }
    int count() const
    {
        int total = 0;
        for (const auto& spy : m_spies)
            total += static_cast<int>(spy->count());
        return total;
    }

private:
    std::vector<std::unique_ptr<QSignalSpy>> m_spies;
};

void chooseFiles(LauncherModel& model, FakeDesktopServices& services, const std::filesystem::path& game,
                 const std::filesystem::path& audio)
{
    services.willChoose(fileUrl(game));
    model.selectGame();
    services.willChoose(fileUrl(audio));
    model.selectAudio();
    model.setOwnsFiles(true);
    awaitGameCheck(model);
}

// An error as a player meets one: playing before anything is installed.
void failToPlay(LauncherModel& model)
{
    model.play();
    QTRY_COMPARE_WITH_TIMEOUT(model.error(), std::optional(kIncomplete), 30'000);
    QCOMPARE(model.playing(), false);
}

void waitForSetup(LauncherModel& model)
{
    QTRY_VERIFY_WITH_TIMEOUT(!model.busy(), kSetupTimeout);
}

} // namespace

class LauncherModelTest final : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { LauncherModel::waitForBackgroundWork(); }

    void startsFromWhatTheRootHolds();
    void everyAssignmentAnnouncesItself();
    void panelsSetTheChoiceAndCancellingKeepsEverything();
    void installWithoutEverythingNeededChangesNothing_data();
    void installWithoutEverythingNeededChangesNothing();
    void failedSetupShowsTheEnginesMessage_data();
    void failedSetupShowsTheEnginesMessage();
    void fileFailureIsToldPlainlyAndLogged();
    void aNewChoiceTakesTheStatusBackToAFreshStart();
    void setupReportsEachStepAndEndsReady();
    void anOutdatedRuntimeIsOfferedAndUpdatedWhileTheInstallationStaysReady();
    void launchFailureShowsTheEnginesMessage_data();
    void launchFailureShowsTheEnginesMessage();
    void gameHoldsTheLockUntilItsExitIsHandled_data();
    void gameHoldsTheLockUntilItsExitIsHandled();
    void theSnapshotBeforeTheGameIsTakenOffTheGuiThread();
    void aSnapshotThatFailsIsAQuietNoteAndTheGameStarts();
    void aLinkTheSnapshotLeavesOutIsNamedOnTheStatusLine();
    void workHandedBackToAModelThatIsGoneDoesNothing();
    void opensGuideLogsAndSaves();
    void whatCannotBeOpenedIsNamedForOpeningByHand_data();
    void whatCannotBeOpenedIsNamedForOpeningByHand();
};

void LauncherModelTest::startsFromWhatTheRootHolds()
{
    const TemporaryFolder root;
    FakeDesktopServices services;
    {
        const LauncherModel model(services, settingsFor(root.path()));
        QCOMPARE(model.ready(), false);
        QCOMPARE(model.status(), QString("Select your files to get started."));
        QCOMPARE(model.error(), std::nullopt);
        QCOMPARE(model.busy(), false);
        QCOMPARE(model.playing(), false);
        QCOMPARE(model.ownsFiles(), false);
        QVERIFY(model.gameURL().isEmpty());
        QVERIFY(model.audioURL().isEmpty());
    }
    QVERIFY2(!std::filesystem::exists(root / "launcher.lock"), "constructing a model touches nothing");

    buildInstallationByHand(root.path());
    const LauncherModel model(services, settingsFor(root.path()));
    QCOMPARE(model.ready(), true);
    QCOMPARE(model.status(), kReady);
    QCOMPARE(model.error(), std::nullopt);
}

void LauncherModelTest::everyAssignmentAnnouncesItself()
{
    const TemporaryFolder root;
    FakeDesktopServices services;
    LauncherModel model(services, settingsFor(root.path()));
    const QMetaObject& meta = LauncherModel::staticMetaObject;
    QCOMPARE(meta.propertyCount() - meta.propertyOffset(), 13);
    // Only the player's inputs are written from outside; writing the same value announces it again.
    QStringList writable;
    for (int index = meta.propertyOffset(); index < meta.propertyCount(); ++index) {
        const QMetaProperty property = meta.property(index);
        QVERIFY2(property.hasNotifySignal(), property.name());
        if (!property.isWritable())
            continue;
        writable << property.name();
        QSignalSpy spy(&model, property.notifySignal());
        QVERIFY(property.write(&model, property.read(&model)));
        QVERIFY2(spy.count() == 1, property.name());
    }
    QCOMPARE(writable, QStringList({"gameURL", "audioURL", "ownsFiles"}));

    // The model's own assignments are announced alike: a failed launch clears
    // the error and its details that are not there, shows that it is starting,
    // then takes that back and sets both; the next one does all of it again.
    const ChangeLog changes(model);
    QSignalSpy errors(&model, &LauncherModel::errorChanged);
    QSignalSpy details(&model, &LauncherModel::errorDetailsChanged);
    QSignalSpy playing(&model, &LauncherModel::playingChanged);
    failToPlay(model);
    failToPlay(model);
    QCOMPARE(errors.count(), 4);
    QCOMPARE(details.count(), 4);
    QCOMPARE(playing.count(), 4);
    QCOMPARE(changes.count(), 16);
}

void LauncherModelTest::panelsSetTheChoiceAndCancellingKeepsEverything()
{
    const TemporaryFolder root;
    FakeDesktopServices services;
    LauncherModel model(services, settingsFor(root.path()));
    const QUrl game = fileUrl(root / "Veyra 2");
    const QUrl audio = fileUrl(root / "MPSetup.exe");

    failToPlay(model);
    services.willChoose(game);
    model.selectGame();
    QCOMPARE(model.gameURL(), game);
    QCOMPARE(model.error(), std::nullopt);

    failToPlay(model);
    services.willChoose(audio);
    model.selectAudio();
    QCOMPARE(model.audioURL(), audio);
    QCOMPARE(model.error(), std::nullopt);

    failToPlay(model);
    model.selectGame();
    model.selectAudio();
    QCOMPARE(model.gameURL(), game);
    QCOMPARE(model.audioURL(), audio);
    QCOMPARE(model.error(), std::optional(kIncomplete));

    // A confirmed panel that reports no item clears the choice.
    services.answers.push_back({true, QUrl()});
    model.selectGame();
    QVERIFY(model.gameURL().isEmpty());

    // A folder that has gone since is not where the next panel opens.
    services.willChoose(fileUrl(root / "Removed/MPSetup.exe"));
    model.selectAudio();
    model.selectAudio();

    QCOMPARE(services.panels.size(), 7u);
    // Each panel opens where the last choice was made, at first in the home folder.
    const QString folder = QString::fromStdString(root.path().string());
    const QStringList opensIn{QDir::homePath(), folder, folder, folder, folder, folder, QDir::homePath()};
    for (std::size_t index = 0; index < services.panels.size(); ++index)
        QCOMPARE(services.panels[index].directory, opensIn[static_cast<qsizetype>(index)]);
    const OpenPanel& gamePanel = services.panels[0];
    QCOMPARE(gamePanel.title, QString("Choose your Veyra 2 files"));
    QCOMPARE(gamePanel.message,
             QString("Select vy2pc_data.bin, the installer ZIP, or a complete Project Kestrane game folder."));
    QVERIFY(gamePanel.canChooseDirectories);
    QVERIFY(gamePanel.canChooseFiles);
    const OpenPanel& audioPanel = services.panels[1];
    QCOMPARE(audioPanel.title, QString("Choose your Microsoft audio package"));
    QCOMPARE(audioPanel.message, QString("Select the supported MPSetup.exe package or WMADMOD.DLL from your "
                                         "licensed files. See Setup Guide for details."));
    QVERIFY(!audioPanel.canChooseDirectories);
    QVERIFY(audioPanel.canChooseFiles);
}

void LauncherModelTest::installWithoutEverythingNeededChangesNothing_data()
{
    QTest::addColumn<bool>("game");
    QTest::addColumn<bool>("audio");
    QTest::addColumn<bool>("owns");
    QTest::addColumn<bool>("busy");
    QTest::newRow("no game") << false << true << true << false;
    QTest::newRow("no audio") << true << false << true << false;
    QTest::newRow("no consent") << true << true << false << false;
    QTest::newRow("already busy") << true << true << true << true;
}

void LauncherModelTest::installWithoutEverythingNeededChangesNothing()
{
    QFETCH(bool, game);
    QFETCH(bool, audio);
    QFETCH(bool, owns);
    QFETCH(bool, busy);
    const TemporaryFolder root;
    HeldWork held;
    FakeDesktopServices services;
    LauncherSettings settings = settingsFor(root.path());
    held.holdSetup(settings);
    LauncherModel model(services, std::move(settings));
    if (busy) {
        // A first setup, with everything it needs, is still running.
        chooseFiles(model, services, setupGameSource(), setupAudioPackage());
        model.install();
        QVERIFY(model.busy());
    }
    model.setGameURL(game ? fileUrl(setupGameSource()) : QUrl());
    model.setAudioURL(audio ? fileUrl(setupAudioPackage()) : QUrl());
    model.setOwnsFiles(owns);
    awaitGameCheck(model);
    failToPlay(model);
    QCOMPARE(model.busy(), busy);

    // A held setup goes on reporting how long its step has run.
    const ChangeLog changes(model, {"progress"});
    model.install();
    if (!busy)
        LauncherModel::waitForBackgroundWork();
    QCoreApplication::processEvents();
    QCOMPARE(changes.count(), 0);
    QCOMPARE(model.error(), std::optional(kIncomplete));
    if (!busy)
        QVERIFY2(!std::filesystem::exists(root / "launcher.lock"), "no setup ran");
}

void LauncherModelTest::failedSetupShowsTheEnginesMessage_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("message");
    QTest::newRow("lock held by another process") << "lock" << kLockMessage;
    QTest::newRow("too little space") << "space"
                                      << "Setup needs at least 12 GB of available disk space. Free some space and retry.";
    QTest::newRow("audio file not the tested one") << "audio"
                                                   << "This audio file is not the tested Microsoft WMA 9 decoder/package. "
                                                      "Select the supported MPSetup.exe or WMADMOD.DLL described in the "
                                                      "setup guide.";
}

void LauncherModelTest::failedSetupShowsTheEnginesMessage()
{
    QFETCH(QString, situation);
    QFETCH(QString, message);
    const TemporaryFolder root;
    FakeDesktopServices services;
    LauncherSettings settings = settingsFor(root.path());
    // A root an earlier setup made, so that setup takes it although it holds the chosen files.
    writeFile(root / "launcher.lock", "");
    std::optional<ForeignLockHolder> otherLauncher;
    if (situation == "lock") {
        std::filesystem::create_directories(root.path());
        otherLauncher.emplace(root.path());
    }
    if (situation == "space")
        settings.host.availableSpace = [](const std::filesystem::path&) {
            return std::optional<std::uintmax_t>(11'999'999'999);
        };
    std::filesystem::create_directories(root / "source");
    std::filesystem::copy_file(setupGameSource(), root / "source/game.zip");
    writeFile(root / "source/MPSetup.exe", "MZ");

    LauncherModel model(services, std::move(settings));
    chooseFiles(model, services, root / "source/game.zip", root / "source/MPSetup.exe");
    QSignalSpy busyChanges(&model, &LauncherModel::busyChanged);
    model.install();
    QCOMPARE(model.busy(), true);
    waitForSetup(model);

    QCOMPARE(busyChanges.count(), 2);
    QCOMPARE(model.error(), std::optional<QString>(message));
    QCOMPARE(model.errorDetails(), QString());
    QCOMPARE(model.status(), kNeedsAttention);
    QCOMPARE(model.ready(), false);
    // The choices stay, so setup can start again at once.
    QCOMPARE(model.gameURL(), fileUrl(root / "source/game.zip"));
    QCOMPARE(model.audioURL(), fileUrl(root / "source/MPSetup.exe"));
    QCOMPARE(model.ownsFiles(), true);
    QCOMPARE(readFile(root / "source/game.zip"), readFile(setupGameSource()));
}

void LauncherModelTest::fileFailureIsToldPlainlyAndLogged()
{
    const TemporaryFolder root;
    // A file where setup keeps its downloads, met after the audio step has written to the log,
    // in a root the launcher made before.
    writeFile(root / "launcher.lock", "");
    writeFile(root / "Downloads", "");
    FakeDesktopServices services;
    LauncherModel model(services, settingsFor(root.path()));
    chooseFiles(model, services, setupGameSource(), setupAudioPackage());
    model.install();
    waitForSetup(model);

    const QString downloads = QString::fromStdString((root / "Downloads").string());
    QCOMPARE(model.error(), std::optional("The launcher could not create the folder " + downloads +
                                          ": a file of that name is in the way. Move it aside, then retry."));
    QCOMPARE(model.errorDetails(), "Not a directory");
    QCOMPARE(model.status(), kNeedsAttention);
    // The log keeps the whole of it, the operation and the path with the system's words.
    const std::string log = readFile(root / "Logs/setup.log");
    QVERIFY2(log.ends_with("Veyra 2 Mac Launcher: " + model.error()->toStdString() +
                           " (filesystem error: cannot create directories: Not a directory [" + downloads.toStdString() +
                           "])\n"),
             log.c_str());
}

void LauncherModelTest::aNewChoiceTakesTheStatusBackToAFreshStart()
{
    const TemporaryFolder root;
    const TemporaryFolder files;
    // Not the tested package: setup fails at its first step.
    writeFile(files / "MPSetup.exe", "MZ");
    HeldWork held;
    FakeDesktopServices services;
    LauncherSettings settings = settingsFor(root.path());
    held.holdDownload(settings);
    LauncherModel model(services, std::move(settings));
    chooseFiles(model, services, setupGameSource(), files / "MPSetup.exe");
    model.install();
    waitForSetup(model);
    QCOMPARE(model.status(), kNeedsAttention);

    // Cancelling changes nothing; a choice clears the error and its status.
    model.selectAudio();
    QCOMPARE(model.status(), kNeedsAttention);
    services.willChoose(fileUrl(setupAudioPackage()));
    model.selectAudio();
    QCOMPARE(model.error(), std::nullopt);
    QCOMPARE(model.status(), QString("Ready to set up."));

    // While setup runs, the status of its step stays.
    model.install();
    const QString downloading = "Downloading and verifying the compatibility runtime · about 341 MB";
    QTRY_COMPARE_WITH_TIMEOUT(model.status(), downloading, kSetupTimeout);
    failToPlay(model);
    services.willChoose(fileUrl(setupGameSource()));
    model.selectGame();
    QCOMPARE(model.error(), std::nullopt);
    QCOMPARE(model.status(), downloading);
}

void LauncherModelTest::setupReportsEachStepAndEndsReady()
{
    QStringList engineLines;
    for (const std::string& line : setupStatusLines())
        engineLines << QString::fromStdString(line);
    const TemporaryFolder root;
    provideRuntimeArchives(root.path());
    FakeDesktopServices services;
    LauncherModel model(services, settingsFor(root.path()));
    chooseFiles(model, services, setupGameSource(), setupAudioPackage());
    QCOMPARE(model.status(), QString("Ready to set up."));
    QStringList statuses;
    QStringList whileBusy;
    connect(&model, &LauncherModel::statusChanged, this, [&] {
        statuses << model.status();
        if (model.busy())
            whileBusy << model.status();
    });
    model.install();
    waitForSetup(model);

    // Each line replaced the status as setup went on, and the model's own line came last.
    QCOMPARE(model.error(), std::nullopt);
    QCOMPARE(whileBusy, engineLines);
    QCOMPARE(statuses, engineLines + QStringList{kReady});
    QCOMPARE(model.ready(), true);
    QVERIFY(Installation(root.path(), {}, testHost()).isInstalled());
    QVERIFY2(lockIsFree(root.path()), "setup released the install lock");
}

void LauncherModelTest::anOutdatedRuntimeIsOfferedAndUpdatedWhileTheInstallationStaysReady()
{
    const TemporaryFolder root;
    provideRuntimeArchives(root.path());
    FakeDesktopServices services;
    {
        LauncherModel model(services, settingsFor(root.path()));
        chooseFiles(model, services, setupGameSource(), setupAudioPackage());
        model.install();
        waitForSetup(model);
        QCOMPARE(model.state().updateAvailable(), false);
    }
    InstallationRecord record = InstallationRecord::read(root.path() / "installed.json");
    record.engine = "WS11WineCX23.0.0_1.tar.xz";
    writeFile(root.path() / "installed.json", record.encode());

    LauncherModel model(services, settingsFor(root.path()));
    QCOMPARE(model.ready(), true);
    QCOMPARE(model.state().updateAvailable(), true);
    model.update();
    QCOMPARE(model.busy(), true);
    waitForSetup(model);
    QCOMPARE(model.error(), std::nullopt);
    QCOMPARE(model.ready(), true);
    QCOMPARE(model.state().updateAvailable(), false);
    QCOMPARE(model.status(), kReady);
    QCOMPARE(InstallationRecord::read(root.path() / "installed.json").engine, Constants::builtIn().engine.name);
}

void LauncherModelTest::launchFailureShowsTheEnginesMessage_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("message");
    QTest::newRow("no installation") << false << "Setup is incomplete. Complete setup before launching Veyra 2.";
    QTest::newRow("lock held by another process") << true << kLockMessage;
}

void LauncherModelTest::launchFailureShowsTheEnginesMessage()
{
    QFETCH(bool, installed);
    QFETCH(QString, message);
    const TemporaryFolder root;
    std::filesystem::create_directories(root.path());
    if (installed)
        buildInstallationByHand(root.path());
    const ForeignLockHolder otherLauncher(root.path());
    FakeDesktopServices services;
    LauncherModel model(services, settingsFor(root.path()));
    const QString statusBefore = model.status();

    model.play();
    QTRY_COMPARE_WITH_TIMEOUT(model.error(), std::optional<QString>(message), 30'000);
    QCOMPARE(model.playing(), false);
    QCOMPARE(model.status(), statusBefore);
}

void LauncherModelTest::gameHoldsTheLockUntilItsExitIsHandled_data()
{
    QTest::addColumn<int>("exitStatus");
    QTest::addColumn<QString>("error");
    QTest::newRow("clean exit") << 0 << QString();
    QTest::newRow("crash") << 3 << "Veyra 2 exited unexpectedly. Open Logs for details.";
}

void LauncherModelTest::gameHoldsTheLockUntilItsExitIsHandled()
{
    QFETCH(int, exitStatus);
    QFETCH(QString, error);
    const TemporaryFolder root;
    buildInstallationByHand(root.path());
    FakeDesktopServices services;
    LauncherModel model(services, settingsFor(root.path()));
    {
        const ForeignLockHolder otherLauncher(root.path());
        model.play();
        QTRY_COMPARE_WITH_TIMEOUT(model.error(), std::optional(kLockMessage), 30'000);
    }
    // The stand-in game runs until released, then exits with the given status.
    HeldWork held;
    held.startGame([&] { model.play(); }, exitStatus);
    QTRY_VERIFY_WITH_TIMEOUT(held.gameStarted(), 30'000);
    QTRY_COMPARE(model.status(), QString("Veyra 2 is running."));
    QCOMPARE(model.error(), std::nullopt);
    QCOMPARE(model.playing(), true);
    QVERIFY2(!lockIsFree(root.path()), "the model holds the lock while the game runs");
    const ChangeLog changes(model);
    model.play();
    QCOMPARE(changes.count(), 0);

    held.release();
    QTRY_VERIFY_WITH_TIMEOUT(!model.playing(), 30'000);
    QVERIFY2(lockIsFree(root.path()), "the lock is released once the exit is handled");
    QCOMPARE(model.status(), kReady);
    QCOMPARE(model.error(), error.isNull() ? std::nullopt : std::optional(error));
}

void LauncherModelTest::theSnapshotBeforeTheGameIsTakenOffTheGuiThread()
{
    const TemporaryFolder root;
    const auto save = buildInstallationWithASave(root.path());
    HeldWork heldSnapshot;
    if (!heldSnapshot.holdOpening(save))
        QSKIP("Holding the opening of a file needs Linux and the right to watch the file system (root)");
    HeldWork heldGame;
    FakeDesktopServices services;
    LauncherModel model(services, settingsFor(root.path()));

    heldGame.startGame([&] { model.play(); });
    QCOMPARE(model.playing(), true);
    QCOMPARE(model.status(), QString("Veyra 2 is starting. The first launch can take a few minutes."));
    // The GUI thread goes on handling events while the snapshot waits to copy the save.
    QTRY_VERIFY_WITH_TIMEOUT(heldSnapshot.openingWaits(), 30'000);
    QVERIFY(!heldGame.gameStarted());
    const ChangeLog changes(model);
    model.play();
    QCOMPARE(changes.count(), 0);

    heldSnapshot.release();
    QTRY_VERIFY_WITH_TIMEOUT(heldGame.gameStarted(), 30'000);
    const auto snapshots = saveSnapshots(Installation(root.path(), {}, testHost()));
    QCOMPARE(snapshots.size(), 1u);
    QCOMPARE(readFile(root / "Backups" / snapshots[0].name / "users/player/slot1.sav"), std::string("saved"));
    QTRY_COMPARE(model.status(), QString("Veyra 2 is running."));
    QCOMPARE(model.error(), std::nullopt);
}

void LauncherModelTest::aSnapshotThatFailsIsAQuietNoteAndTheGameStarts()
{
    const TemporaryFolder root;
    buildInstallationWithASave(root.path());
    // Where the snapshots go, a file is in the way.
    writeFile(root / "Backups", "");
    HeldWork held;
    FakeDesktopServices services;
    LauncherModel model(services, settingsFor(root.path()));

    held.startGame([&] { model.play(); });
    QTRY_VERIFY_WITH_TIMEOUT(held.gameStarted(), 30'000);
    QTRY_COMPARE_WITH_TIMEOUT(model.status(),
                              QString("Veyra 2 is running. Your saves could not be backed up before this "
                                      "start: Open Logs for details."),
                              30'000);
    QCOMPARE(model.error(), std::nullopt);
    QCOMPARE(model.playing(), true);
    const std::string gameLog = readFile(root / "Logs/veyra2.log");
    QVERIFY2(gameLog.find("The snapshot of your saves before this start failed") != std::string::npos, gameLog.c_str());

    held.release();
    QTRY_VERIFY_WITH_TIMEOUT(!model.playing(), 30'000);
    QCOMPARE(model.status(), kReady);
}

void LauncherModelTest::aLinkTheSnapshotLeavesOutIsNamedOnTheStatusLine()
{
    const TemporaryFolder root;
    buildInstallationWithASave(root.path());
    std::filesystem::create_directory_symlink(".", root / "Install/prefix/drive_c/users/loop");
    HeldWork held;
    FakeDesktopServices services;
    LauncherModel model(services, settingsFor(root.path()));

    held.startGame([&] { model.play(); });
    QTRY_VERIFY_WITH_TIMEOUT(held.gameStarted(), 30'000);
    QTRY_COMPARE_WITH_TIMEOUT(model.status(),
                              QString("Veyra 2 is running. The snapshot leaves out users/loop, a link into the "
                                      "launcher's folder; link it to a folder of its own to have its saves kept."),
                              30'000);
    QCOMPARE(model.error(), std::nullopt);

    held.release();
    QTRY_VERIFY_WITH_TIMEOUT(!model.playing(), 30'000);
}

void LauncherModelTest::workHandedBackToAModelThatIsGoneDoesNothing()
{
    const TemporaryFolder root;
    const auto save = buildInstallationWithASave(root.path());
    HeldWork heldSnapshot;
    // Where the system allows the hold, the launch ends only once the model is gone.
    const bool snapshotHeld = heldSnapshot.holdOpening(save);
    HeldWork heldGame;
    FakeDesktopServices services;
    auto model = std::make_unique<LauncherModel>(services, settingsFor(root.path()));
    heldGame.startGame([&] { model->play(); });
    if (snapshotHeld)
        QTRY_VERIFY_WITH_TIMEOUT(heldSnapshot.openingWaits(), 30'000);
    // And a setup that fails at once: the record exists, and the launch holds the lock.
    chooseFiles(*model, services, setupGameSource(), root / "MPSetup.exe");
    model->install();
    QVERIFY(model->busy());
    QVERIFY(model->playing());

    model.reset();
    heldSnapshot.release();
    QTRY_VERIFY_WITH_TIMEOUT(heldGame.gameStarted(), 30'000);
    // The game runs on; the lock taken for it went with the work that nobody took.
    QTRY_VERIFY2(lockIsFree(root.path()), "a model that is gone holds no lock");
    heldGame.release();
    LauncherModel::waitForBackgroundWork();
    // What the finished work handed back to the model that is gone is delivered now, and dropped.
    QCoreApplication::sendPostedEvents();
}

void LauncherModelTest::opensGuideLogsAndSaves()
{
    const TemporaryFolder root;
    writeFile(root / "Setup Guide.html", "<!doctype html>");
    FakeDesktopServices services;
    LauncherModel model(services, settingsFor(root / "home", root / "Setup Guide.html"));

    model.openGuide();
    model.openGameDownload();
    model.openLogs();
    QVERIFY(std::filesystem::is_directory(root / "home/Logs"));
    model.openSaves();
    QVERIFY2(!std::filesystem::exists(root / "home/Install"), "the save folder is not created");
    QCOMPARE(services.opened, std::vector<QUrl>({fileUrl(root / "Setup Guide.html"),
                                                 QUrl("https://projectkestrane.org/install/"),
                                                 fileUrl(root / "home/Logs"),
                                                 fileUrl(root / "home/Install/prefix/drive_c/users")}));
    QCOMPARE(model.error(), std::nullopt);

    services.opened.clear();
    LauncherModel withoutGuide(services, settingsFor(root / "home", root / "missing.html"));
    withoutGuide.openGuide();
    QVERIFY(services.opened.empty());

    // A log folder that cannot be made is opened all the same.
    writeFile(root / "file", "");
    LauncherModel unwritable(services, settingsFor(root / "file/home"));
    unwritable.openLogs();
    QCOMPARE(services.opened, std::vector<QUrl>({fileUrl(root / "file/home/Logs")}));
}

void LauncherModelTest::whatCannotBeOpenedIsNamedForOpeningByHand_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("error");
    const QString byHand = ". Open it by hand from your file manager.";
    QTest::newRow("guide") << "openGuide" << "The launcher could not open %1/Setup Guide.html" + byHand;
    QTest::newRow("logs") << "openLogs" << "The launcher could not open %1/home/Logs" + byHand;
    QTest::newRow("saves") << "openSaves"
                           << "The launcher could not open %1/home/Install/prefix/drive_c/users" + byHand;
    QTest::newRow("download page") << "openGameDownload"
                                   << "The launcher could not open https://projectkestrane.org/install/. Open it by "
                                      "hand in your web browser.";
}

void LauncherModelTest::whatCannotBeOpenedIsNamedForOpeningByHand()
{
    QFETCH(QString, operation);
    QFETCH(QString, error);
    const TemporaryFolder root;
    writeFile(root / "Setup Guide.html", "<!doctype html>");
    FakeDesktopServices services;
    services.opens = false;
    LauncherModel model(services, settingsFor(root / "home", root / "Setup Guide.html"));
    failToPlay(model);
    const QString statusBefore = model.status();

    QVERIFY(QMetaObject::invokeMethod(&model, operation.toLatin1().constData()));
    QCOMPARE(model.error(), std::optional(error.arg(QString::fromStdString(root.path().string()))));
    QCOMPARE(model.errorDetails(), QString());
    QCOMPARE(model.status(), statusBefore);
}

} // namespace launcher::testing

QTEST_MAIN(launcher::testing::LauncherModelTest)
#include "LauncherModelTest.moc"
