#include "ui/LauncherModel.h"

#include "FakeDesktopServices.h"
#include "UiTestSupport.h"
#include "core/InstallLock.h"
#include "core/SetupFailure.h"
#include "support/InstallationByHand.h"
#include "support/ScopedEnvironmentVariable.h"
#include "support/SetupStatusLines.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"

#include <QMetaProperty>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace launcher::testing {
namespace {

const QString kReady = "Your installation is ready.";
const QString kNeedsAttention = "Setup needs attention. Your source files are unchanged.";
const QString kLockMessage = "Another launcher is installing or playing Veyra 2. Close it before continuing.";
constexpr int kSetupTimeout = 180'000;

// Counts every change signal of the model.
class ChangeLog final {
public:
    explicit ChangeLog(const LauncherModel& model)
    {
        const QMetaObject& meta = LauncherModel::staticMetaObject;
        for (int index = meta.propertyOffset(); index < meta.propertyCount(); ++index)
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
}

void waitForSetup(LauncherModel& model)
{
    QTRY_VERIFY_WITH_TIMEOUT(!model.busy(), kSetupTimeout);
}

bool lockIsFree(const std::filesystem::path& root)
{
    try {
        const InstallLock lock(root / "launcher.lock");
        return true;
    } catch (const SetupFailure&) {
        return false;
    }
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
    void setupReportsEachStepAndEndsReady();
    void launchFailureShowsTheEnginesMessage_data();
    void launchFailureShowsTheEnginesMessage();
    void gameHoldsTheLockUntilItsExitIsHandled_data();
    void gameHoldsTheLockUntilItsExitIsHandled();
    void workHandedBackToAModelThatIsGoneDoesNothing();
    void opensGuideLogsAndSaves();
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
    QCOMPARE(meta.propertyCount() - meta.propertyOffset(), 8);
    for (int index = meta.propertyOffset(); index < meta.propertyCount(); ++index) {
        const QMetaProperty property = meta.property(index);
        QSignalSpy spy(&model, property.notifySignal());
        QVERIFY(property.write(&model, property.read(&model)));
        QVERIFY2(spy.count() == 1, property.name());
    }
}

void LauncherModelTest::panelsSetTheChoiceAndCancellingKeepsEverything()
{
    const TemporaryFolder root;
    FakeDesktopServices services;
    LauncherModel model(services, settingsFor(root.path()));
    const QUrl game = fileUrl(root / "Veyra 2");
    const QUrl audio = fileUrl(root / "MPSetup.exe");

    model.setError(QString("An earlier failure."));
    services.willChoose(game);
    model.selectGame();
    QCOMPARE(model.gameURL(), game);
    QCOMPARE(model.error(), std::nullopt);

    model.setError(QString("An earlier failure."));
    services.willChoose(audio);
    model.selectAudio();
    QCOMPARE(model.audioURL(), audio);
    QCOMPARE(model.error(), std::nullopt);

    model.setError(QString("An earlier failure."));
    model.selectGame();
    model.selectAudio();
    QCOMPARE(model.gameURL(), game);
    QCOMPARE(model.audioURL(), audio);
    QCOMPARE(model.error(), std::optional<QString>("An earlier failure."));

    // A confirmed panel that reports no item clears the choice.
    services.answers.push_back({true, QUrl()});
    model.selectGame();
    QVERIFY(model.gameURL().isEmpty());

    QCOMPARE(services.panels.size(), 5u);
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
    FakeDesktopServices services;
    LauncherModel model(services, settingsFor(root.path()));
    if (game)
        model.setGameURL(fileUrl(root / "game"));
    if (audio)
        model.setAudioURL(fileUrl(root / "audio"));
    model.setOwnsFiles(owns);
    model.setBusy(busy);
    model.setError(QString("Kept."));

    const ChangeLog changes(model);
    model.install();
    LauncherModel::waitForBackgroundWork();
    QCoreApplication::processEvents();
    QCOMPARE(changes.count(), 0);
    QCOMPARE(model.error(), std::optional<QString>("Kept."));
    QVERIFY2(!std::filesystem::exists(root / "launcher.lock"), "no setup ran");
}

void LauncherModelTest::failedSetupShowsTheEnginesMessage_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("message");
    QTest::newRow("record present") << "record"
                                    << "An installation already exists. Its game files and saves were left untouched.";
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
    if (situation == "record")
        writeFile(root / "installed.json", "{}");
    if (situation == "lock") {
        std::filesystem::create_directories(root.path());
        otherLauncher.emplace(root.path());
    }
    if (situation == "space")
        settings.host.availableSpace = [](const std::filesystem::path&) {
            return std::optional<std::uintmax_t>(11'999'999'999);
        };
    writeFile(root / "source/game.zip", "PK");
    writeFile(root / "source/MPSetup.exe", "MZ");

    LauncherModel model(services, std::move(settings));
    chooseFiles(model, services, root / "source/game.zip", root / "source/MPSetup.exe");
    QSignalSpy busyChanges(&model, &LauncherModel::busyChanged);
    model.install();
    QCOMPARE(model.busy(), true);
    waitForSetup(model);

    QCOMPARE(busyChanges.count(), 2);
    QCOMPARE(model.error(), std::optional<QString>(message));
    QCOMPARE(model.status(), kNeedsAttention);
    QCOMPARE(model.ready(), false);
    // The choices stay, so setup can start again at once.
    QCOMPARE(model.gameURL(), fileUrl(root / "source/game.zip"));
    QCOMPARE(model.audioURL(), fileUrl(root / "source/MPSetup.exe"));
    QCOMPARE(model.ownsFiles(), true);
    QCOMPARE(readFile(root / "source/game.zip"), std::string("PK"));
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
    QStringList statuses;
    QStringList whileBusy;
    connect(&model, &LauncherModel::statusChanged, this, [&] {
        statuses << model.status();
        if (model.busy())
            whileBusy << model.status();
    });

    chooseFiles(model, services, setupGameSource(), setupAudioPackage());
    model.install();
    waitForSetup(model);

    // Each line replaced the status as setup went on, and the model's own line came last.
    QCOMPARE(model.error(), std::nullopt);
    QCOMPARE(whileBusy, engineLines);
    QCOMPARE(statuses, engineLines + QStringList{kReady});
    QCOMPARE(model.ready(), true);
    QVERIFY(Installer(root.path(), {}, testHost()).isInstalled());
    QVERIFY2(lockIsFree(root.path()), "setup released the install lock");
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
    QCOMPARE(model.error(), std::optional<QString>(message));
    QCOMPARE(model.playing(), false);
    QCOMPARE(model.status(), statusBefore);
}

void LauncherModelTest::gameHoldsTheLockUntilItsExitIsHandled_data()
{
    QTest::addColumn<std::string>("exitStatus");
    QTest::addColumn<QString>("error");
    QTest::newRow("clean exit") << std::string("0") << QString();
    QTest::newRow("crash") << std::string("3") << "Veyra 2 exited unexpectedly. Open Logs for details.";
}

void LauncherModelTest::gameHoldsTheLockUntilItsExitIsHandled()
{
    QFETCH(std::string, exitStatus);
    QFETCH(QString, error);
    const TemporaryFolder root;
    buildInstallationByHand(root.path());
    const auto quitGame = root / "quit-game";
    FakeDesktopServices services;
    LauncherModel model(services, settingsFor(root.path()));
    model.setError(QString("An earlier failure."));
    {
        // The stand-in game runs until told to quit, then exits with the given status.
        const ScopedEnvironmentVariable until("STANDIN_GAME_UNTIL", quitGame.string());
        const ScopedEnvironmentVariable exit("STANDIN_GAME_EXIT", exitStatus);
        model.play();
    }
    QCOMPARE(model.error(), std::nullopt);
    QCOMPARE(model.playing(), true);
    QCOMPARE(model.status(), QString("Veyra 2 is starting. The first launch can take a few minutes."));
    QVERIFY2(!lockIsFree(root.path()), "the model holds the lock while the game runs");
    model.play();
    QCOMPARE(model.playing(), true);

    writeFile(quitGame, "");
    QTRY_VERIFY_WITH_TIMEOUT(!model.playing(), 30'000);
    QVERIFY2(lockIsFree(root.path()), "the lock is released once the exit is handled");
    QCOMPARE(model.status(), kReady);
    QCOMPARE(model.error(), error.isNull() ? std::nullopt : std::optional(error));
}

void LauncherModelTest::workHandedBackToAModelThatIsGoneDoesNothing()
{
    const TemporaryFolder root;
    buildInstallationByHand(root.path());
    FakeDesktopServices services;
    auto model = std::make_unique<LauncherModel>(services, settingsFor(root.path()));
    // A setup that fails at once (the record exists) and a game that ends at once.
    chooseFiles(*model, services, root / "game.zip", root / "MPSetup.exe");
    model->play();
    model->install();
    QVERIFY(model->busy());
    QVERIFY(model->playing());

    model.reset();
    QVERIFY2(lockIsFree(root.path()), "a model that is gone holds no lock");
    LauncherModel::waitForBackgroundWork();
    QTest::qWait(50);
}

void LauncherModelTest::opensGuideLogsAndSaves()
{
    const TemporaryFolder root;
    writeFile(root / "Setup Guide.html", "<!doctype html>");
    FakeDesktopServices services;
    LauncherModel model(services, settingsFor(root / "home", root / "Setup Guide.html"));

    model.openGuide();
    model.openLogs();
    QVERIFY(std::filesystem::is_directory(root / "home/Logs"));
    model.openSaves();
    QVERIFY2(!std::filesystem::exists(root / "home/Install"), "the save folder is not created");
    QCOMPARE(services.opened, std::vector<QUrl>({fileUrl(root / "Setup Guide.html"), fileUrl(root / "home/Logs"),
                                                 fileUrl(root / "home/Install/prefix/drive_c/users")}));

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

} // namespace launcher::testing

QTEST_MAIN(launcher::testing::LauncherModelTest)
#include "LauncherModelTest.moc"
