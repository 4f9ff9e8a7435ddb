#include "UiTestSupport.h"

#include "app/Setup.h"
#include "support/InstallationByHand.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"

#include <QtTest>

namespace launcher::testing {

QUrl fileUrl(const std::filesystem::path& path)
{
    return QUrl::fromLocalFile(QString::fromStdString(path.string()));
}

LauncherSettings settingsFor(const std::filesystem::path& root, std::optional<std::filesystem::path> guide)
{
    return {.root = root, .host = testHost(), .guide = std::move(guide)};
}

std::filesystem::path buildInstallationWithASave(const std::filesystem::path& root, const std::string& content)
{
    buildInstallationByHand(root);
    const auto save = root / "Install/prefix/drive_c/users/player/slot1.sav";
    writeFile(save, content);
    return save;
}

void provideRuntimeArchives(const std::filesystem::path& root)
{
    const Constants& constants = Constants::builtIn();
    std::filesystem::create_directories(root / "Downloads");
    // An earlier setup made the root, so setup takes it as the launcher's own.
    writeFile(root / "launcher.lock", "");
    for (const auto& asset : {constants.engine, constants.libraries})
        std::filesystem::copy_file(fixture("runtime/prefetched/" + asset.name), root / "Downloads" / asset.name);
}

void awaitGameCheck(const LauncherModel& model)
{
    if (!QTest::qWaitFor([&] { return !model.checkingGame(); }, 60'000))
        qFatal("The check of the chosen game files did not end");
}

std::filesystem::path setupGameSource()
{
    return fixture("game/installer.zip");
}

std::filesystem::path setupAudioPackage()
{
    return fixture("audio/MPSetup.exe");
}

void chooseSetupFiles(LauncherModel& model, const std::filesystem::path& game, const std::filesystem::path& audio)
{
    model.setGameURL(fileUrl(game));
    model.setAudioURL(fileUrl(audio));
    model.setOwnsFiles(true);
    awaitGameCheck(model);
}

void setUpInstallation(const std::filesystem::path& root)
{
    install(Installation(root, {}, testHost()), setupGameSource(), setupAudioPackage(), fixture("runtime/prefetched"));
}

void damageInstallation(const std::filesystem::path& root, bool gameFile, bool decoderCopy)
{
    const Installation installation(root, {}, testHost());
    std::filesystem::remove(installation.layout().decoder());
    if (gameFile)
        std::filesystem::remove(installation.game() / "maps/mainmenu.map");
    if (decoderCopy)
        std::filesystem::remove(installation.layout().verifiedDecoder());
}

ForeignLockHolder::ForeignLockHolder(const std::filesystem::path& root)
{
    // The lock is taken as the launcher takes it: flock on the open file.
    m_process.start("python3", {"-c",
                                "import fcntl, sys, time\n"
                                "lock = open(sys.argv[1], 'a')\n"
                                "fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)\n"
                                "print('locked', flush=True)\n"
                                "time.sleep(600)\n",
                                QString::fromStdString((root / "launcher.lock").string())});
    if (!m_process.waitForReadyRead(30'000) || m_process.readLine().trimmed() != "locked")
        qFatal("The lock-holding process did not take the lock");
}

ForeignLockHolder::~ForeignLockHolder()
{
    m_process.kill();
    m_process.waitForFinished();
}

} // namespace launcher::testing
