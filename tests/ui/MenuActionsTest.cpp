// The application menu's Restore Saves…, Save Diagnostics… and Uninstall
// Veyra 2…, driven through the window's actions with scripted dialogs.

#include "HeldWork.h"
#include "LaunchedApplication.h"
#include "saves/SaveSnapshot.h"
#include "saves/SavesRestore.h"
#include "support/EntryNames.h"
#include "support/InstallationByHand.h"
#include "support/ScopedEnvironmentVariable.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"
#include "ui/DesktopConventions.h"
#include "ui/MenuTexts.h"

#include <QLabel>
#include <QLocale>
#include <QtTest>

#include <algorithm>
#include <map>
#include <set>

#include <time.h>

#if defined(__linux__)
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace launcher::testing {
namespace {

namespace fs = std::filesystem;

const QString kLockMessage = "Another launcher is installing or playing Veyra 2. Close it before continuing.";

// Plays the stand-in game, which exits at once, and waits until that is handled.
void playOnce(LauncherModel& model)
{
    model.play();
    QTRY_VERIFY_WITH_TIMEOUT(!model.playing(), 30'000);
    QCOMPARE(model.error(), std::nullopt);
}

void waitForMenuAction(LauncherModel& model)
{
    QTRY_VERIFY_WITH_TIMEOUT(!model.state().maintaining(), 60'000);
}

std::vector<std::string> snapshotNames(const fs::path& root)
{
    std::vector<std::string> names;
    for (const SaveSnapshot& snapshot : saveSnapshots(Installation(root, {}, testHost())))
        names.push_back(snapshot.name);
    return names;
}

// The uninstall question without its sizes, which vary with what the
// application wrote to its logs meanwhile; sizesOf() checks them apart.
QString withoutSizes(QString question)
{
    return question.replace(QRegularExpression(R"( \(\d+(\.\d+)? (bytes|KB|MB|GB)\))"), "");
}

// Whether the question gives the size of each of these, as a player reads it.
bool sizesOf(const QString& question, const QStringList& entries)
{
    return std::ranges::all_of(entries, [&question](const QString& entry) {
        return question.contains(
            QRegularExpression(QRegularExpression::escape(entry) + R"( \(\d+(\.\d+)? (bytes|KB|MB|GB)\))"));
    });
}

QString text(const fs::path& path)
{
    return QString::fromStdString(path.string());
}

// A file that not even root may remove while it is marked immutable, which
// needs Linux and the right to mark it; holding() says whether it is marked.
class ImmutableFile final {
public:
    explicit ImmutableFile(fs::path file)
        : m_file(std::move(file))
    {
#if defined(__linux__)
        m_marked = flag(true);
#endif
    }
    ~ImmutableFile()
    {
        if (m_marked)
            flag(false);
    }
    ImmutableFile(const ImmutableFile&) = delete;
    ImmutableFile& operator=(const ImmutableFile&) = delete;

    bool holding() const { return m_marked; }

private:
    bool flag(bool immutable) const
    {
#if defined(__linux__)
        const int fd = ::open(m_file.c_str(), O_RDONLY | O_CLOEXEC);
        int flags = 0;
        bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = immutable ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        if (fd >= 0)
            ::close(fd);
        return done;
#else
        (void)immutable;
        return false;
#endif
    }

    fs::path m_file;
    bool m_marked = false;
};

} // namespace

class MenuActionsTest final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { LauncherModel::waitForBackgroundWork(); }

    void snapshotsAreNamedByTheirLocalTime();
    void itemsAreEnabledOnlyWhileNothingRuns_data();
    void itemsAreEnabledOnlyWhileNothingRuns();
    void restoreListsChoosesConfirmsAndCanBeUndone();
    void restoreAndUninstallNameTheLinksTheirSnapshotsLeaveOut();
    void uninstallRemovesWhatItSaidAndStartsAfresh_data();
    void uninstallRemovesWhatItSaidAndStartsAfresh();
    void keptSavesAreOfferedBackAfterTheNextSetup_data();
    void keptSavesAreOfferedBackAfterTheNextSetup();
    void uninstallAsksFirstAndTellsWhenThereIsNothing();
    void anUninstallCutShortShowsWhyAndThatNothingIsInstalled();
    void restoreAndUninstallShowTheLockHeldElsewhere_data();
    void restoreAndUninstallShowTheLockHeldElsewhere();
    void diagnosticsGoWhereChosenButNeverOverAFile();
};

void MenuActionsTest::initTestCase()
{
    // Dates as a player in English in Greenwich reads them.
    qputenv("TZ", "UTC");
    ::tzset();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
}

void MenuActionsTest::restoreAndUninstallNameTheLinksTheirSnapshotsLeaveOut()
{
    const TemporaryFolder root;
    buildInstallationWithASave(root.path());
    fs::create_directory_symlink(".", root / "Install/prefix/drive_c/users/loop");
    LaunchedApplication application(root.path());
    LauncherModel& model = application.model();
    FakeDesktopServices& services = application.services;
    playOnce(model);
    const QString leftOut = "The snapshot leaves out users/loop, a link into the launcher's folder; link it to a "
                            "folder of its own to have its saves kept.";

    services.willChooseFromList(0);
    services.willConfirm();
    application.action("restoreSavesAction")->trigger();
    waitForMenuAction(model);
    QCOMPARE(model.error(), std::nullopt);
    QVERIFY2(model.status().endsWith(" are back. The saves you had are kept as the snapshot of " +
                                     menu::snapshotTime(snapshotNames(root.path()).front()) +
                                     ": restore it to undo this. " + leftOut),
             qPrintable(model.status()));

    services.willConfirm(true);
    application.action("uninstallAction")->trigger();
    waitForMenuAction(model);
    QCOMPARE(model.error(), std::nullopt);
    QVERIFY2(model.status().contains(". " + leftOut + " "), qPrintable(model.status()));
}

void MenuActionsTest::snapshotsAreNamedByTheirLocalTime()
{
    QCOMPARE(menu::snapshotTime("Saves-20261210T141503Z"), QString("10 December 2026, 14:15:03"));
    QCOMPARE(menu::snapshotTime("Saves-20260101T000000Z-2"), QString("1 January 2026, 00:00:00 (2)"));
    QCOMPARE(menu::snapshotTime("Saves-staging-1"), QString("Saves-staging-1"));
}

void MenuActionsTest::itemsAreEnabledOnlyWhileNothingRuns_data()
{
    QTest::addColumn<QString>("running");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("restore");
    QTest::addColumn<bool>("others");
    QTest::newRow("nothing, not installed") << "nothing" << false << false << true;
    QTest::newRow("nothing, installed") << "nothing" << true << true << true;
    QTest::newRow("setup") << "setup" << false << false << false;
    QTest::newRow("the game") << "game" << true << false << false;
    QTest::newRow("the game, held in its snapshot") << "snapshot" << true << false << false;
    QTest::newRow("a menu action") << "menu action" << true << false << false;
}

void MenuActionsTest::itemsAreEnabledOnlyWhileNothingRuns()
{
    QFETCH(QString, running);
    QFETCH(bool, installed);
    QFETCH(bool, restore);
    QFETCH(bool, others);
    const TemporaryFolder root;
    const TemporaryFolder elsewhere;
    fs::path save;
    if (installed)
        save = buildInstallationWithASave(root.path());
    HeldWork held;
    if (running == "snapshot" && !held.holdOpening(save))
        QSKIP("Holding the opening of a file needs Linux and the right to watch the file system (root)");
    LauncherSettings settings = settingsFor(root.path());
    held.holdSetup(settings);
    held.holdArchiveTool(settings);
    LaunchedApplication application(std::move(settings));
    LauncherModel& model = application.model();
    FakeDesktopServices& services = application.services;

    if (running == "setup") {
        // A game folder, which the held archive tool need not list.
        chooseSetupFiles(model, fixture("game/Veyra 2"));
        model.install();
    } else if (running == "game" || running == "snapshot") {
        held.startGame([&] { model.play(); });
    } else if (running == "menu action") {
        services.willChooseNewFile(fileUrl(elsewhere / "diagnostics.zip"));
        application.action("saveDiagnosticsAction")->trigger();
        QVERIFY(model.state().maintaining());
    }
    if (running == "snapshot")
        QTRY_VERIFY_WITH_TIMEOUT(held.openingWaits(), 30'000);

    QCOMPARE(application.action("restoreSavesAction")->isEnabled(), restore);
    QCOMPARE(application.action("saveDiagnosticsAction")->isEnabled(), others);
    QCOMPARE(application.action("uninstallAction")->isEnabled(), others);
    if (running == "nothing")
        return;
    // Called all the same, as a stale click would, each does nothing at all.
    const std::size_t panelsBefore = services.savePanels.size();
    model.restoreSaves(application.window());
    model.uninstall(application.window());
    model.saveDiagnostics(application.window());
    QCoreApplication::processEvents();
    QCOMPARE(services.lists.size(), 0u);
    QCOMPARE(services.confirmations.size(), 0u);
    QCOMPARE(services.alerts.size(), 0u);
    QCOMPARE(services.savePanels.size(), panelsBefore);
    if (installed)
        QVERIFY(fs::exists(root / "installed.json"));
}

void MenuActionsTest::restoreListsChoosesConfirmsAndCanBeUndone()
{
    const TemporaryFolder root;
    const fs::path save = buildInstallationWithASave(root.path(), "first");
    LaunchedApplication application(root.path());
    LauncherModel& model = application.model();
    FakeDesktopServices& services = application.services;
    QAction* restore = application.action("restoreSavesAction");

    restore->trigger();
    waitForMenuAction(model);
    QCOMPARE(services.alerts.size(), 1u);
    QCOMPARE(services.alerts[0].messageText, QString("There are no snapshots of your saves yet"));
    QCOMPARE(services.alerts[0].informativeText, QString("The launcher takes one each time you play Veyra 2."));

    playOnce(model);
    writeFile(save, "second");
    playOnce(model);
    const std::vector<std::string> taken = snapshotNames(root.path());
    QCOMPARE(taken.size(), 2u);
    writeFile(save, "third, not yet in a snapshot");

    // Cancelled in the list, then at the question: nothing changes.
    restore->trigger();
    waitForMenuAction(model);
    services.willChooseFromList(1);
    restore->trigger();
    waitForMenuAction(model);
    QCOMPARE(services.lists.size(), 2u);
    QCOMPARE(services.confirmations.size(), 1u);
    QCOMPARE(readFile(save), std::string("third, not yet in a snapshot"));
    QCOMPARE(snapshotNames(root.path()), taken);

    // Newest first, each with its time, files and size.
    const ListPanel& list = services.lists[0];
    QCOMPARE(list.title, QString("Restore Saves"));
    QCOMPARE(list.chooseButton, QString("Restore…"));
    QCOMPARE(list.items.size(), 2u);
    for (std::size_t index = 0; index < taken.size(); ++index) {
        QCOMPARE(list.items[index].title, menu::snapshotTime(taken[index]));
        const QString bytes = index == 0 ? "6 bytes" : "5 bytes";
        QCOMPARE(list.items[index].detail, "1 file · " + bytes + " · " + QString::fromStdString(taken[index]));
    }
    const Confirmation& question = services.confirmations[0];
    QCOMPARE(question.messageText, "Restore your saves from " + menu::snapshotTime(taken[1]) + "?");
    QCOMPARE(question.informativeText, QString("Your current saves are kept as a snapshot first, so you can undo "
                                               "this by restoring that snapshot."));
    QCOMPARE(question.confirmButton, QString("Restore"));
    QVERIFY(question.option.isEmpty());
    QCOMPARE(services.shownOver, application.window());

    services.willChooseFromList(1);
    services.willConfirm();
    restore->trigger();
    QVERIFY(model.state().maintaining());
    waitForMenuAction(model);
    QCOMPARE(model.error(), std::nullopt);
    QCOMPARE(readFile(save), std::string("first"));
    const std::vector<std::string> afterRestore = snapshotNames(root.path());
    QCOMPARE(afterRestore.size(), 3u);
    const std::string before = afterRestore.front();
    QCOMPARE(model.status(), "Your saves from " + menu::snapshotTime(taken[1]) +
                                 " are back. The saves you had are kept as the snapshot of " +
                                 menu::snapshotTime(before) + ": restore it to undo this.");

    // The saves from before the restore head the list, kept for good; restoring them undoes it.
    services.willChooseFromList(0);
    services.willConfirm();
    restore->trigger();
    waitForMenuAction(model);
    QVERIFY(services.lists.back().items[0].detail.endsWith(QString::fromStdString(before) + " · launches never remove it"));
    QCOMPARE(model.error(), std::nullopt);
    QCOMPARE(readFile(save), std::string("third, not yet in a snapshot"));
}

void MenuActionsTest::uninstallRemovesWhatItSaidAndStartsAfresh_data()
{
    QTest::addColumn<bool>("keepSaves");
    QTest::newRow("keeping the saves") << true;
    QTest::newRow("removing the saves") << false;
}

void MenuActionsTest::uninstallRemovesWhatItSaidAndStartsAfresh()
{
    QFETCH(bool, keepSaves);
    const TemporaryFolder root;
    const fs::path save = buildInstallationWithASave(root.path());
    writeFile(root / "notes.txt", "mine");
    LaunchedApplication application(root.path());
    LauncherModel& model = application.model();
    FakeDesktopServices& services = application.services;
    playOnce(model);
    writeFile(save, "played since");
    model.setGameURL(fileUrl(setupGameSource()));
    model.setAudioURL(fileUrl(setupAudioPackage()));
    model.setOwnsFiles(true);

    services.willConfirm(keepSaves);
    application.action("uninstallAction")->trigger();
    QVERIFY(model.state().maintaining());
    waitForMenuAction(model);

    const QString r = text(root.path());
    const Confirmation& question = services.confirmations.at(0);
    QCOMPARE(question.messageText, QString("Uninstall Veyra 2?"));
    QCOMPARE(question.confirmButton, QString("Uninstall"));
    QCOMPARE(question.option, QString("Keep my saves"));
    QCOMPARE(withoutSizes(question.informativeText),
             "This removes the installation record, the game files and the Windows environment, the "
             "compatibility runtime and the logs from " +
                 r + ".\n\nIt keeps the folder " + r +
                 " itself, with the snapshots of your saves, the lock file (other launchers may hold it) and "
                 "notes.txt (not made by the launcher). Your current saves are moved into a last snapshot first.");
    QCOMPARE(withoutSizes(question.informativeTextUnticked),
             "This removes the installation record, the game files and the Windows environment, the "
             "compatibility runtime, the logs and the snapshots of your saves from " +
                 r + ", and with them your saves and all their snapshots.\n\nIt keeps the folder " + r +
                 " itself, with the lock file (other launchers may hold it) and notes.txt (not made by the launcher).");
    QVERIFY(sizesOf(
        question.informativeTextUnticked,
        {"the game files and the Windows environment", "the compatibility runtime", "the snapshots of your saves"}));
    QVERIFY(sizesOf(question.informativeText,
                    {"the game files and the Windows environment", "the snapshots of your saves"}));

    QCOMPARE(model.error(), std::nullopt);
    std::set<std::string> left{"launcher.lock", "notes.txt"};
    if (keepSaves)
        left.insert("Backups");
    QCOMPARE(testing::entryNames(root.path()), left);
    QCOMPARE(readFile(root / "notes.txt"), std::string("mine"));
    if (keepSaves) {
        // The saves as last played, in a snapshot of their own beside the launch's.
        const std::vector<std::string> snapshots = snapshotNames(root.path());
        QCOMPARE(snapshots.size(), 2u);
        QCOMPARE(readFile(root / "Backups" / snapshots.front() / "users/player/slot1.sav"), std::string("played since"));
    }

    // The window as at a first start, with the result in its status line.
    QCOMPARE(model.ready(), false);
    QVERIFY(model.gameURL().isEmpty());
    QVERIFY(model.audioURL().isEmpty());
    QCOMPARE(model.ownsFiles(), false);
    QVERIFY(application.window()->findChild<QWidget*>("setupPanel")->isVisible());
    QTRY_COMPARE(QApplication::focusWidget(), application.window()->findChild<QWidget*>("gameButton"));
    QCOMPARE(application.window()->findChild<QLabel*>("headline")->text(), QString("Your game. Ready for Mac."));
    QVERIFY(!application.action("restoreSavesAction")->isEnabled());
    const QString kept = keepSaves ? "the snapshots of your saves, the lock file (other launchers may hold it) and "
                                     "notes.txt (not made by the launcher)"
                                   : "the lock file (other launchers may hold it) and notes.txt (not made by the "
                                     "launcher)";
    const QRegularExpression status("Veyra 2 is uninstalled and [0-9.]+ (bytes|KB|MB) freed\\. Kept in " +
                                    QRegularExpression::escape(r + ": " + kept) +
                                    "\\. Select your files to set it up again\\.");
    QVERIFY2(status.match(model.status()).hasMatch(), qPrintable(model.status()));
}

void MenuActionsTest::keptSavesAreOfferedBackAfterTheNextSetup_data()
{
    QTest::addColumn<bool>("restore");
    QTest::newRow("restored") << true;
    QTest::newRow("declined") << false;
}

void MenuActionsTest::keptSavesAreOfferedBackAfterTheNextSetup()
{
    QFETCH(bool, restore);
    const TemporaryFolder root;
    const fs::path save = buildInstallationWithASave(root.path());
    LaunchedApplication application(root.path());
    LauncherModel& model = application.model();
    FakeDesktopServices& services = application.services;
    writeFile(save, "kept");
    services.willConfirm(true);
    application.action("uninstallAction")->trigger();
    waitForMenuAction(model);
    const std::vector<std::string> kept = snapshotNames(root.path());
    QCOMPARE(kept.size(), 1u);

    // Set up again; the question comes once the window shows the setup ended.
    provideRuntimeArchives(root.path());
    chooseSetupFiles(model);
    if (restore)
        services.willConfirm();
    model.install();
    QTRY_VERIFY_WITH_TIMEOUT(!model.busy(), 180'000);
    QVERIFY2(model.ready(), qPrintable(model.error().value_or(model.status())));
    QTRY_COMPARE(services.confirmations.size(), 2u);
    const Confirmation& offer = services.confirmations.at(1);
    QCOMPARE(offer.messageText, "Restore the saves you kept on " + menu::snapshotTime(kept.front()) + "?");
    QCOMPARE(offer.informativeText, QString("The new installation starts without them. You can also restore them "
                                            "later with Restore Saves… in the launcher's menu."));
    QCOMPARE(offer.confirmButton, QString("Restore"));
    waitForMenuAction(model);

    QCOMPARE(model.error(), std::nullopt);
    QCOMPARE(fs::exists(save), restore);
    if (restore) {
        QCOMPARE(readFile(save), std::string("kept"));
        // Then, as after every restore, where the saves it replaced are kept.
        QVERIFY2(model.status().startsWith("Your saves from " + menu::snapshotTime(kept.front()) + " are back."),
                 qPrintable(model.status()));
    } else {
        QCOMPARE(model.status(), QString("Your installation is ready."));
    }
    // Asked once: a later setup event does not bring the question back.
    QCOMPARE(services.confirmations.size(), 2u);
}

void MenuActionsTest::uninstallAsksFirstAndTellsWhenThereIsNothing()
{
    const TemporaryFolder root;
    {
        LaunchedApplication application(root / "never set up");
        application.action("uninstallAction")->trigger();
        QCOMPARE(application.services.confirmations.size(), 0u);
        QCOMPARE(application.services.alerts.size(), 1u);
        QCOMPARE(application.services.alerts[0].messageText, QString("There is nothing to uninstall"));
        QCOMPARE(application.services.alerts[0].informativeText,
                 "The launcher has nothing of its own in " + text(root / "never set up") + " to remove.");
        QVERIFY(!fs::exists(root / "never set up"));
    }

    // Without saves there is nothing to keep, and with nothing but saves
    // nothing else to remove: either way the choice is not offered.
    buildInstallationByHand(root / "installed");
    writeFile(root / "only saves/launcher.lock", "");
    writeFile(root / "only saves/Backups/Saves-20261210T141503Z/users/player/slot1.sav", "saved");
    const QString onlySaves = text(root / "only saves");
    const std::map<std::string, QString> questions{
        {"installed",
         "This removes the installation record, the game files and the Windows environment, the "
         "compatibility runtime and the logs from " +
             text(root / "installed") + ".\n\nIt keeps the folder " + text(root / "installed") +
             " itself, with the lock file (other launchers may hold it)."},
        {"only saves",
         "This removes the snapshots of your saves from " + onlySaves +
             ", and with them your saves and all their snapshots.\n\nIt keeps the folder " + onlySaves +
             " itself, with the lock file (other launchers may hold it)."},
    };
    for (const auto& [folder, informative] : questions) {
        LaunchedApplication application(root / folder);
        application.action("uninstallAction")->trigger();
        waitForMenuAction(application.model());
        QCOMPARE(application.services.confirmations.size(), 1u);
        QCOMPARE(withoutSizes(application.services.confirmations[0].informativeText), informative);
        QVERIFY(application.services.confirmations[0].option.isEmpty());
        // Cancelled: nothing happens.
        QCOMPARE(application.model().state().maintaining(), false);
    }
    QVERIFY(fs::exists(root / "installed/installed.json"));
    QVERIFY(fs::exists(root / "only saves/Backups/Saves-20261210T141503Z/users/player/slot1.sav"));
}

void MenuActionsTest::anUninstallCutShortShowsWhyAndThatNothingIsInstalled()
{
    const TemporaryFolder root;
    buildInstallationByHand(root.path());
    writeFile(root / "Install/game/stuck.dat", "");
    const ImmutableFile stuck(root / "Install/game/stuck.dat");
    if (!stuck.holding())
        QSKIP("Marking a file immutable needs Linux and the right to do so (root)");
    LaunchedApplication application(root.path());
    LauncherModel& model = application.model();

    application.services.willConfirm();
    application.action("uninstallAction")->trigger();
    waitForMenuAction(model);
    QCOMPARE(model.error(), std::optional("Some files in " + text(root / "Install") + " could not be removed: " +
                                          text(root / "Install/game/stuck.dat") +
                                          " is locked. Unlock it in its Get Info window in Finder, then uninstall "
                                          "again."));
    // The record went first: what is left is no installation, and the uninstall can run again.
    QCOMPARE(model.ready(), false);
    QCOMPARE(model.status(), QString("Select your files to get started."));
    QVERIFY(application.action("uninstallAction")->isEnabled());
}

void MenuActionsTest::restoreAndUninstallShowTheLockHeldElsewhere_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("restore") << "restoreSavesAction";
    QTest::newRow("uninstall") << "uninstallAction";
}

void MenuActionsTest::restoreAndUninstallShowTheLockHeldElsewhere()
{
    QFETCH(QString, action);
    const TemporaryFolder root;
    const fs::path save = buildInstallationWithASave(root.path());
    LaunchedApplication application(root.path());
    LauncherModel& model = application.model();
    playOnce(model);
    const ForeignLockHolder otherLauncher(root.path());
    writeFile(save, "played elsewhere");

    application.services.willChooseFromList(0);
    application.services.willConfirm(true);
    application.action(qPrintable(action))->trigger();
    waitForMenuAction(model);
    QCOMPARE(model.error(), std::optional(kLockMessage));
    QCOMPARE(model.status(), QString("Your installation is ready."));
    QCOMPARE(model.ready(), true);
    QVERIFY(fs::exists(root / "installed.json"));
    QCOMPARE(readFile(save), std::string("played elsewhere"));
    QCOMPARE(snapshotNames(root.path()).size(), 1u);
}

void MenuActionsTest::diagnosticsGoWhereChosenButNeverOverAFile()
{
    const TemporaryFolder root;
    buildInstallationByHand(root / "launcher");
    // A home of the test's own, whose desktop already holds an earlier report.
    const ScopedEnvironmentVariable home("HOME", (root / "home").string());
    const ScopedEnvironmentVariable config("XDG_CONFIG_HOME", std::nullopt);
    writeFile(root / "home/Desktop/Veyra 2 diagnostics.zip", "earlier");
    LaunchedApplication application(root / "launcher");
    LauncherModel& model = application.model();
    FakeDesktopServices& services = application.services;

    const fs::path archive = root / "reports/report.zip";
    fs::create_directories(archive.parent_path());
    services.willChooseNewFile(fileUrl(archive));
    application.action("saveDiagnosticsAction")->trigger();
    QVERIFY(model.state().maintaining());
    QCOMPARE(model.status(), QString("Writing the diagnostics archive…"));
    waitForMenuAction(model);

    const SavePanel& panel = services.savePanels.at(0);
    QCOMPARE(panel.title, QString("Save Diagnostics"));
    QCOMPARE(panel.directory, text(root / "home/Desktop"));
    // macOS would ask the player before the launcher looked inside the desktop.
    QCOMPARE(panel.fileName, QString(desktop::kLooksInsideTheDesktopUnasked ? "Veyra 2 diagnostics 2.zip"
                                                                              : "Veyra 2 diagnostics.zip"));
    QCOMPARE(panel.suffix, QString("zip"));
    QCOMPARE(model.error(), std::nullopt);
    QCOMPARE(model.status(), "Saved the diagnostics archive " + text(archive) +
                                 ". Your home folder appears in it as ~. Attach it to your bug report.");
    QVERIFY(readFile(archive).starts_with("PK"));

    // A name that is taken is refused in the panel, which opens again beside
    // it with the next free name; the earlier report stays as it was.
    const fs::path earlier = root / "home/Desktop/Veyra 2 diagnostics.zip";
    writeFile(root / "home/Desktop/Veyra 2 diagnostics 2.zip", "earlier too");
    const fs::path next = root / "home/Desktop/Veyra 2 diagnostics 3.zip";
    services.willChooseNewFile(fileUrl(earlier));
    services.willChooseNewFile(fileUrl(next));
    application.action("saveDiagnosticsAction")->trigger();
    waitForMenuAction(model);
    QCOMPARE(services.alerts.size(), 1u);
    QCOMPARE(services.alerts[0].messageText, QString("“Veyra 2 diagnostics.zip” already exists"));
    QCOMPARE(services.savePanels.size(), 3u);
    QCOMPARE(services.savePanels[2].directory, text(root / "home/Desktop"));
    QCOMPARE(services.savePanels[2].fileName, QString("Veyra 2 diagnostics 3.zip"));
    QCOMPARE(model.error(), std::nullopt);
    QVERIFY(readFile(next).starts_with("PK"));
    QCOMPARE(readFile(earlier), std::string("earlier"));

    // Cancelled once refused: nothing is written and nothing is wrong.
    services.willChooseNewFile(fileUrl(earlier));
    application.action("saveDiagnosticsAction")->trigger();
    waitForMenuAction(model);
    QCOMPARE(services.alerts.size(), 2u);
    QCOMPARE(services.savePanels.size(), 5u);
    QCOMPARE(model.error(), std::nullopt);
    QCOMPARE(readFile(earlier), std::string("earlier"));
}

} // namespace launcher::testing

QTEST_MAIN(launcher::testing::MenuActionsTest)
#include "MenuActionsTest.moc"
