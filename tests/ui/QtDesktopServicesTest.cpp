#include "ui/QtDesktopServices.h"

#include "support/TemporaryFolder.h"
#include "ui/LauncherStyle.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

namespace launcher::testing {
namespace {

struct Outcome {
    PanelChoice choice;
    QString title;
    QStringList texts;
    QString openedIn;
    bool qtsOwnDialog = false;
    bool stayedOpen = false;
};

enum class Pick { Highlight, Type };

// Shows the panel through the real services and acts in it as a user would:
// highlights `item` in `folder` (or types its name) and presses the accept button.
Outcome chooseIn(const OpenPanel& panel, const std::filesystem::path& folder, const QString& item,
                 Pick pick = Pick::Highlight)
{
    Outcome outcome;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            qFatal("No open panel was shown");
        outcome.title = dialog->windowTitle();
        outcome.openedIn = dialog->directory().absolutePath();
        outcome.qtsOwnDialog = dialog->testOption(QFileDialog::DontUseNativeDialog);
        for (const QLabel* label : dialog->findChildren<QLabel*>())
            outcome.texts << label->text();

        const QString path = QString::fromStdString((folder / item.toStdString()).string());
        dialog->setDirectory(QString::fromStdString(folder.string()));
        if (pick == Pick::Type) {
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(item);
        } else {
            auto* model = dialog->findChild<QFileSystemModel*>();
            QVERIFY(QTest::qWaitFor([&] { return model->index(path).isValid(); }));
            dialog->findChild<QTreeView*>("treeView")->setCurrentIndex(model->index(path));
        }
        QTest::qWait(50);
        dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Open)->click();
        QTest::qWait(50);
        outcome.stayedOpen = dialog->isVisible();
        if (outcome.stayedOpen)
            dialog->reject();
    });
    QtDesktopServices services;
    outcome.choice = services.choose(panel);
    return outcome;
}

} // namespace

class QtDesktopServicesTest final : public QObject {
    Q_OBJECT

private slots:
    void gamePanelTakesAFolderOrAFile();
    void audioPanelTakesOnlyAFile();
    void openingReportsWhatTheDesktopSays();
    void alertsAreDarkOneLineEachAndCentredOverTheWindow();
};

void QtDesktopServicesTest::gamePanelTakesAFolderOrAFile()
{
    const TemporaryFolder root;
    writeFile(root / "Veyra 2/veyra2.exe", "MZ");
    writeFile(root / "vy2pc_data.bin", "data");
    const OpenPanel panel{"Choose your Veyra 2 files", "Select the game.", true, true};

    const Outcome folder = chooseIn(panel, root.path(), "Veyra 2");
    QCOMPARE(folder.title, panel.title);
    QVERIFY(folder.texts.contains(panel.message));
    QCOMPARE(folder.openedIn, QDir::homePath());
    QVERIFY(folder.choice.confirmed);
    QCOMPARE(folder.choice.url, QUrl::fromLocalFile(QString::fromStdString((root / "Veyra 2").string())));

    const Outcome file = chooseIn(panel, root.path(), "vy2pc_data.bin");
    QVERIFY(file.choice.confirmed);
    QCOMPARE(file.choice.url, QUrl::fromLocalFile(QString::fromStdString((root / "vy2pc_data.bin").string())));

    const Outcome nothing = chooseIn(panel, root.path(), "no-such-archive.zip", Pick::Type);
    QVERIFY2(nothing.stayedOpen, "a typed name of nothing is not chosen");
    QVERIFY(!nothing.choice.confirmed);
}

void QtDesktopServicesTest::audioPanelTakesOnlyAFile()
{
    const TemporaryFolder root;
    writeFile(root / "Audio/readme.txt", "");
    writeFile(root / "MPSetup.exe", "MZ");
    const OpenPanel panel{"Choose your Microsoft audio package", "Select the package.", false, true,
                          QString::fromStdString(root.path().string())};

    const Outcome folder = chooseIn(panel, root.path(), "Audio");
    QVERIFY2(folder.stayedOpen, "a folder is opened, not chosen");
    QVERIFY(!folder.choice.confirmed);

    const Outcome file = chooseIn(panel, root.path(), "MPSetup.exe");
    QCOMPARE(file.openedIn, panel.directory);
    // Qt's own dialog, the one that shows the message, also where the desktop has a dialog of its own.
#if !defined(Q_OS_MACOS)
    QVERIFY(file.qtsOwnDialog);
#endif
    QVERIFY(file.texts.contains(panel.message));
    QVERIFY(file.choice.confirmed);
    QCOMPARE(file.choice.url, QUrl::fromLocalFile(QString::fromStdString((root / "MPSetup.exe").string())));
}

// Receives the addresses that QDesktopServices hands to a registered handler.
class AddressHandler final : public QObject {
    Q_OBJECT

public slots:
    void open(const QUrl& url) { received << url; }

public:
    QList<QUrl> received;
};

void QtDesktopServicesTest::openingReportsWhatTheDesktopSays()
{
    QtDesktopServices services;
    AddressHandler handler;
    QDesktopServices::setUrlHandler("veyra2-test", &handler, "open");
    QVERIFY(services.open(QUrl("veyra2-test:guide")));
    QCOMPARE(handler.received, QList<QUrl>{QUrl("veyra2-test:guide")});
    QDesktopServices::unsetUrlHandler("veyra2-test");

    // The offscreen platform has no application to open anything with.
    QVERIFY(!services.open(QUrl::fromLocalFile(QDir::tempPath())));
}

void QtDesktopServicesTest::alertsAreDarkOneLineEachAndCentredOverTheWindow()
{
    QWidget window;
    window.resize(760, 650);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    struct Seen {
        QColor background;
        QPoint centre;
        QStringList texts;
        bool oneLineEach = true;
    };
    // Looks at the box on screen, then dismisses it.
    const auto look = [](Seen& seen) {
        QTimer::singleShot(0, [&seen] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr)
                qFatal("No message box was shown");
            seen.background = box->palette().color(QPalette::Window);
            seen.centre = box->geometry().center();
            for (const char* name : {"qt_msgbox_label", "qt_msgbox_informativelabel"}) {
                const auto* text = box->findChild<QLabel*>(name);
                if (text == nullptr)
                    continue;
                seen.texts << text->text();
                seen.oneLineEach = seen.oneLineEach && text->contentsRect().height() < 2 * text->fontMetrics().lineSpacing();
            }
            box->accept();
        });
    };

    QtDesktopServices services;
    Seen alert;
    look(alert);
    services.alert({"Setup is still running", "Let setup finish before quitting the launcher."}, &window);
    QCOMPARE(alert.texts, QStringList({"Setup is still running", "Let setup finish before quitting the launcher."}));
    QCOMPARE(alert.background, style::backgroundTop());
    QVERIFY2(alert.oneLineEach, "the alert is wide enough for each text on one line");
    QVERIFY((alert.centre - window.geometry().center()).manhattanLength() <= 2);

    Seen about;
    look(about);
    services.about(&window);
    QCOMPARE(about.background, style::backgroundTop());
    QVERIFY((about.centre - window.geometry().center()).manhattanLength() <= 2);
}

} // namespace launcher::testing

QTEST_MAIN(launcher::testing::QtDesktopServicesTest)
#include "QtDesktopServicesTest.moc"
