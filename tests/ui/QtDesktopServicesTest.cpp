#include "ui/QtDesktopServices.h"

#include "support/TemporaryFolder.h"
#include "ui/DesktopConventions.h"
#include "ui/LauncherStyle.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <map>

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
        QCoreApplication::sendPostedEvents();
        // A panel that takes the choice closes within the click.
        dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Open)->click();
        outcome.stayedOpen = dialog->isVisible();
        if (outcome.stayedOpen)
            dialog->reject();
    });
    QtDesktopServices services;
    outcome.choice = services.choose(panel);
    return outcome;
}

// WCAG 2's relative luminance of an opaque colour.
double luminance(QRgb colour)
{
    const auto linear = [](int component) {
        const double value = component / 255.0;
        return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(colour)) + 0.7152 * linear(qGreen(colour)) + 0.0722 * linear(qBlue(colour));
}

double contrast(QRgb first, QRgb second)
{
    const double one = luminance(first);
    const double other = luminance(second);
    return (std::max(one, other) + 0.05) / (std::min(one, other) + 0.05);
}

struct TextContrast {
    QString text;
    double ratio = 0;
};

// Measures each visible text of the dialog on a picture of it as it is drawn:
// the commonest colour in a text's place is its background, and the colour
// that stands out most from it there is the text's own.
QList<TextContrast> measureTexts(QWidget& dialog)
{
    const QImage picture = dialog.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const qreal scale = picture.devicePixelRatio();
    QList<TextContrast> measured;
    const auto measure = [&](const QWidget& widget, const QString& text, QRect area) {
        if (text.isEmpty() || !widget.isVisibleTo(&dialog) || !widget.isEnabled())
            return;
        area.moveTopLeft(widget.mapTo(&dialog, area.topLeft()));
        const QRect pixels = QRectF(QPointF(area.topLeft()) * scale, QSizeF(area.size()) * scale).toRect()
                                 .intersected(picture.rect());
        std::map<QRgb, int> counts;
        for (int y = pixels.top(); y <= pixels.bottom(); ++y)
            for (int x = pixels.left(); x <= pixels.right(); ++x)
                ++counts[picture.pixel(x, y)];
        if (counts.empty())
            return;
        const QRgb background = std::ranges::max_element(counts, {}, &std::pair<const QRgb, int>::second)->first;
        double ratio = 1;
        for (const auto& [colour, count] : counts)
            ratio = std::max(ratio, contrast(colour, background));
        measured.append({text, ratio});
    };
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        measure(*label, label->text(), label->contentsRect());
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        measure(*button, button->text(), button->rect());
    return measured;
}

} // namespace

class QtDesktopServicesTest final : public QObject {
    Q_OBJECT

private slots:
    void gamePanelTakesAFolderOrAFile();
    void audioPanelTakesOnlyAFile();
    void openingReportsWhatTheDesktopSays();
    void alertsAreDarkOneLineEachAndCentredOverTheWindow();
    void aListChoosesTheHighlightedItem();
    void aConfirmationDefaultsToCancelAndItsOptionSwitchesTheText();
    void theSavePanelAddsTheSuffixAndNeverAsksAboutReplacing();
    void everyTextInEveryDialogStandsOutFromItsBackground_data();
    void everyTextInEveryDialogStandsOutFromItsBackground();
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
    QCOMPARE(file.qtsOwnDialog, desktop::kQtFilePanels);
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

void QtDesktopServicesTest::aListChoosesTheHighlightedItem()
{
    const ListPanel panel{"Restore Saves", "Choose the snapshot.", "Restore…",
                          {{"10 December 2026, 14:15:03", "1 file · 5 bytes · Saves-20261210T141503Z"},
                           {"9 December 2026, 10:00:00", "2 files · 9 bytes · Saves-20261209T100000Z"}}};
    struct Seen {
        QColor background;
        QStringList texts;
        int highlighted = -1;
    };
    // Looks at the list, then highlights the item (a row below 0 cancels) and presses the choose button.
    const auto answer = [](Seen& seen, int row) {
        QTimer::singleShot(0, [&seen, row] {
            QWidget* dialog = QApplication::activeModalWidget();
            auto* list = dialog != nullptr ? dialog->findChild<QListWidget*>("listPanelItems") : nullptr;
            if (list == nullptr)
                qFatal("No list was shown");
            seen.background = dialog->palette().color(QPalette::Window);
            seen.highlighted = list->currentRow();
            for (const QLabel* label : dialog->findChildren<QLabel*>())
                seen.texts << label->text();
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            if (row < 0) {
                buttons->button(QDialogButtonBox::Cancel)->click();
                return;
            }
            list->setCurrentRow(row);
            dialog->findChild<QPushButton*>("chooseButton")->click();
        });
    };

    QtDesktopServices services;
    Seen chosen;
    answer(chosen, 1);
    QCOMPARE(services.chooseFromList(panel, nullptr), std::optional<std::size_t>(1));
    QCOMPARE(chosen.highlighted, 0);
    QCOMPARE(chosen.background, style::backgroundTop());
    for (const QString& text : {panel.message, panel.items[1].title, panel.items[1].detail})
        QVERIFY2(chosen.texts.contains(text), qPrintable(text));

    Seen cancelled;
    answer(cancelled, -1);
    QCOMPARE(services.chooseFromList(panel, nullptr), std::nullopt);
}

void QtDesktopServicesTest::aConfirmationDefaultsToCancelAndItsOptionSwitchesTheText()
{
    const Confirmation question{"Uninstall Veyra 2?", "Keeps your saves.", "Uninstall", "Keep my saves",
                                "Removes your saves too."};
    struct Seen {
        QStringList informative;
        bool cancelIsDefault = false;
    };
    // Unticks the option when asked to, then presses the confirm or the cancel button.
    const auto answer = [](Seen& seen, bool untick, bool confirm) {
        QTimer::singleShot(0, [&seen, untick, confirm] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr)
                qFatal("No question was asked");
            const auto informative = [box] { return box->findChild<QLabel*>("qt_msgbox_informativelabel")->text(); };
            seen.cancelIsDefault = box->defaultButton() == box->button(QMessageBox::Cancel);
            seen.informative << informative();
            if (untick) {
                box->checkBox()->setChecked(false);
                seen.informative << informative();
            }
            for (QAbstractButton* button : box->buttons())
                if ((button == box->button(QMessageBox::Cancel)) != confirm)
                    button->click();
        });
    };

    QtDesktopServices services;
    Seen kept;
    answer(kept, false, true);
    const ConfirmationAnswer keeping = services.confirm(question, nullptr);
    QVERIFY(keeping.confirmed);
    QVERIFY(keeping.option);
    QVERIFY(kept.cancelIsDefault);
    QCOMPARE(kept.informative, QStringList({"Keeps your saves."}));

    Seen removed;
    answer(removed, true, true);
    const ConfirmationAnswer removing = services.confirm(question, nullptr);
    QVERIFY(removing.confirmed);
    QVERIFY(!removing.option);
    QCOMPARE(removed.informative, QStringList({"Keeps your saves.", "Removes your saves too."}));

    Seen cancelled;
    answer(cancelled, false, false);
    QVERIFY(!services.confirm(question, nullptr).confirmed);
}

void QtDesktopServicesTest::theSavePanelAddsTheSuffixAndNeverAsksAboutReplacing()
{
    const TemporaryFolder root;
    writeFile(root / "earlier.zip", "earlier");
    const SavePanel panel{"Save Diagnostics", QString::fromStdString(root.path().string()), "Veyra 2 diagnostics.zip",
                          "zip"};
    struct Seen {
        QString title;
        QString suggested;
        bool asked = false;
        bool stayedOpen = false;
    };
    // Types the name and presses the save button.
    const auto answer = [](Seen& seen, const QString& name) {
        QTimer::singleShot(0, [&seen, name] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr)
                qFatal("No save panel was shown");
            auto* field = dialog->findChild<QLineEdit*>("fileNameEdit");
            seen.title = dialog->windowTitle();
            seen.suggested = field->text();
            field->setText(name);
            // A question would run its own event loop inside the click, where this
            // answers it "no" as soon as it is shown; without one it runs after the click.
            QTimer::singleShot(0, [&seen] {
                if (auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    seen.asked = true;
                    question->reject();
                }
            });
            dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Save)->click();
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
            seen.stayedOpen = dialog->isVisible();
            if (seen.stayedOpen)
                dialog->reject();
        });
    };
    const auto url = [&](const char* name) { return QUrl::fromLocalFile(QString::fromStdString((root / name).string())); };

    QtDesktopServices services;
    Seen typed;
    answer(typed, "report");
    const PanelChoice report = services.chooseNewFile(panel, nullptr);
    QCOMPARE(typed.title, panel.title);
    QCOMPARE(typed.suggested, panel.fileName);
    QVERIFY(report.confirmed);
    QCOMPARE(report.url, url("report.zip"));

    Seen existing;
    answer(existing, "earlier.zip");
    const PanelChoice earlier = services.chooseNewFile(panel, nullptr);
    QVERIFY2(!existing.asked, "the panel asks nothing about replacing the file");
    QVERIFY(!existing.stayedOpen);
    QVERIFY(earlier.confirmed);
    QCOMPARE(earlier.url, url("earlier.zip"));
    QCOMPARE(readFile(root / "earlier.zip"), std::string("earlier"));
}

void QtDesktopServicesTest::everyTextInEveryDialogStandsOutFromItsBackground_data()
{
    QTest::addColumn<QString>("dialog");
    for (const char* dialog : {"alert", "about", "list", "confirmation"})
        QTest::newRow(dialog) << dialog;
}

void QtDesktopServicesTest::everyTextInEveryDialogStandsOutFromItsBackground()
{
    QFETCH(QString, dialog);
    QWidget window;
    window.resize(760, 650);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QList<TextContrast> measured;
    QTimer::singleShot(0, [&measured] {
        QWidget* shown = QApplication::activeModalWidget();
        if (shown == nullptr)
            qFatal("No dialog was shown");
        measured = measureTexts(*shown);
        qobject_cast<QDialog*>(shown)->reject();
    });
    QtDesktopServices services;
    if (dialog == "alert") {
        services.alert({"Setup is still running", "Let setup finish before quitting the launcher."}, &window);
    } else if (dialog == "about") {
        services.about(&window);
    } else if (dialog == "list") {
        services.chooseFromList({"Restore Saves", "Choose the snapshot to put back.", "Restore…",
                                 {{"10 December 2026, 14:15:03", "1 file · 5 bytes · Saves-20261210T141503Z"},
                                  {"9 December 2026, 10:00:00", "2 files · 9 bytes · Saves-20261209T100000Z"}}},
                                &window);
    } else {
        services.confirm({"Uninstall Veyra 2?", "Keeps your saves.", "Uninstall", "Keep my saves", "Removes them."},
                         &window);
    }

    // Every text of the dialog was found, and each reaches the 4.5:1 that small text needs.
    QVERIFY(measured.size() >= 2);
    for (const TextContrast& text : measured)
        QVERIFY2(text.ratio >= 4.5, qPrintable(QString("%1: %2:1").arg(text.text).arg(text.ratio, 0, 'f', 2)));
}

} // namespace launcher::testing

QTEST_MAIN(launcher::testing::QtDesktopServicesTest)
#include "QtDesktopServicesTest.moc"
