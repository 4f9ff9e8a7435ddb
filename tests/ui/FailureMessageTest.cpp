#include "app/FailureMessage.h"

#include "app/UnknownSnapshot.h"
#include "core/SetupFailure.h"
#include "support/TemporaryFolder.h"

#include <QtTest>

#include <cerrno>

namespace launcher::testing {
namespace {

namespace fs = std::filesystem;

fs::filesystem_error fileError(const QString& what, const QString& path1, const QString& path2, int code)
{
    const std::error_code error(code, std::generic_category());
    if (path2.isEmpty())
        return fs::filesystem_error(what.toStdString(), path1.toStdString(), error);
    return fs::filesystem_error(what.toStdString(), path1.toStdString(), path2.toStdString(), error);
}

} // namespace

class FailureMessageTest final : public QObject {
    Q_OBJECT

private slots:
    void fileFailuresBecomeAPlainSentence_data();
    void fileFailuresBecomeAPlainSentence();
    void aFileInTheWayOfAFolderIsNamed();
    void ownSentencesStandAndOtherFailuresKeepTheirText();
    void logLinesAreAppendedBelowANewFolder();
};

void FailureMessageTest::fileFailuresBecomeAPlainSentence_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("path1");
    QTest::addColumn<QString>("path2");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("sentence");

    QTest::newRow("a file where a folder goes")
        << "cannot create directories" << "/home/p/Veyra2MacLauncher/Downloads" << "" << ENOTDIR
        << "Veyra 2 could not create the folder /home/p/Veyra2MacLauncher/Downloads: a file of that name is in the "
           "way. Move it aside, then retry.";
    QTest::newRow("an existing name") << "cannot create directory" << "/r/Logs" << "" << EEXIST
                                      << "Veyra 2 could not create the folder /r/Logs: a file of that name is in "
                                         "the way. Move it aside, then retry.";
    QTest::newRow("libc++ naming, permission") << "in create_directories" << "/r" << "" << EACCES
                                               << "Veyra 2 could not create the folder /r: permission denied. Give "
                                                  "your user account access to it, then retry.";
    QTest::newRow("copy between two paths") << "cannot copy file" << "/src/vy2pc_data.bin" << "/r/Game-staging/x"
                                            << EPERM
                                            << "Veyra 2 could not copy /src/vy2pc_data.bin to /r/Game-staging/x: "
                                               "permission denied. Give your user account access to it, then retry.";
    QTest::newRow("disk full") << "cannot write file" << "/r/installed.json" << "" << ENOSPC
                               << "Veyra 2 could not write /r/installed.json: the disk is full. Free some space, "
                                  "then retry.";
    QTest::newRow("read-only disk") << "cannot create file" << "/r/x" << "" << EROFS
                                    << "Veyra 2 could not create the file /r/x: the disk is read-only. Make the disk "
                                       "writable, then retry.";
    QTest::newRow("gone") << "cannot open file" << "/Volumes/Game/vy2pc_data.bin" << "" << ENOENT
                          << "Veyra 2 could not open /Volumes/Game/vy2pc_data.bin: it does not exist. Check that it "
                             "is still there, then retry.";
    QTest::newRow("folder listing") << "directory iterator cannot open directory" << "/src/Game" << "" << EACCES
                                    << "Veyra 2 could not read the folder /src/Game: permission denied. Give your "
                                       "user account access to it, then retry.";
    QTest::newRow("words in the path do not count") << "cannot remove all" << "/copy/rename/Runtime-staging-1" << ""
                                                    << EBUSY
                                                    << "Veyra 2 could not remove /copy/rename/Runtime-staging-1: it "
                                                       "is in use. Close what uses it, then retry.";
    QTest::newRow("another reason, told by the system")
        << "cannot rename" << "/r/a" << "/Volumes/b" << EXDEV
        << "Veyra 2 could not move /r/a to /Volumes/b: invalid cross-device link. Open Logs for details.";
    QTest::newRow("an unknown operation") << "cannot frobnicate" << "/r/a" << "" << EIO
                                          << "Veyra 2 could not use /r/a: the disk reported an error. Check the "
                                             "disk, then retry.";
}

void FailureMessageTest::fileFailuresBecomeAPlainSentence()
{
    QFETCH(QString, what);
    QFETCH(QString, path1);
    QFETCH(QString, path2);
    QFETCH(int, code);
    QFETCH(QString, sentence);
    const fs::filesystem_error error = fileError(what, path1, path2, code);
    const FailureMessage message = failureMessage(error, FrontEnd::window);
    QCOMPARE(QString::fromStdString(message.sentence), sentence);
    QCOMPARE(message.details, std::string(error.what()));
}

void FailureMessageTest::aFileInTheWayOfAFolderIsNamed()
{
    const TemporaryFolder root;
    writeFile(root / "Veyra2MacLauncher", "");
    const fs::path wanted = root / "Veyra2MacLauncher/Logs";
    std::error_code error;
    fs::create_directories(wanted, error);
    QCOMPARE(error, std::make_error_code(std::errc::not_a_directory));

    const FailureMessage message = failureMessage(fs::filesystem_error("cannot create directories", wanted, error), FrontEnd::window);
    QCOMPARE(QString::fromStdString(message.sentence),
             QString("Veyra 2 could not create the folder %1: the file %2 is in the way. Move it aside, then retry.")
                 .arg(QString::fromStdString(wanted.string()), QString::fromStdString((root / "Veyra2MacLauncher").string())));
}

void FailureMessageTest::ownSentencesStandAndOtherFailuresKeepTheirText()
{
    const FailureMessage own = failureMessage(SetupFailure("The runtime is incomplete. Check whether antivirus "
                                                           "quarantined any files."), FrontEnd::window);
    QCOMPARE(own.sentence, std::string("The runtime is incomplete. Check whether antivirus quarantined any files."));
    QCOMPARE(own.details, std::string());
    QCOMPARE(failureMessage(UnknownSnapshot("Saves-20261210T141503Z"), FrontEnd::window).sentence,
             std::string("No saved snapshot is called Saves-20261210T141503Z. It was removed meanwhile: open Restore "
                         "Saves… again to choose another."));

    const FailureMessage other = failureMessage(std::system_error(std::make_error_code(std::errc::no_such_file_or_directory),
                                                                  "Cannot start /usr/bin/tar"), FrontEnd::window);
    QCOMPARE(other.sentence, std::string("Veyra 2 ran into an unexpected problem. Open Logs for details."));
    QCOMPARE(other.details, std::string("Cannot start /usr/bin/tar: No such file or directory"));
}

void FailureMessageTest::logLinesAreAppendedBelowANewFolder()
{
    const TemporaryFolder root;
    appendToLog(root / "Logs/setup.log", "first");
    appendToLog(root / "Logs/setup.log", "second");
    QCOMPARE(readFile(root / "Logs/setup.log"), std::string("first\nsecond\n"));

    // A log that cannot be written is passed over without a word.
    writeFile(root / "file", "");
    appendToLog(root / "file/Logs/setup.log", "lost");
    QCOMPARE(readFile(root / "file"), std::string());
}

} // namespace launcher::testing

QTEST_GUILESS_MAIN(launcher::testing::FailureMessageTest)
#include "FailureMessageTest.moc"
