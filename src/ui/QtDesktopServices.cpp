#include "ui/QtDesktopServices.h"

#include "app/VersionText.h"
#include "ui/DesktopConventions.h"
#include "ui/LauncherStyle.h"
#include "ui/ListDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace launcher {
namespace {

// A file dialog that also accepts a folder as the chosen item when the panel
// allows folders next to files, as the macOS panel does by itself: "Open" on a
// highlighted folder chooses it, a double click goes into it.
//
// Outside macOS it is always Qt's own dialog, the one that can show the
// panel's message and offer files and folders at once; a desktop's own dialog
// would lose both. On macOS it is the system's open panel, which Qt gives no
// message: there the message is not shown.
class ItemDialog final : public QFileDialog {
public:
    explicit ItemDialog(const OpenPanel& panel)
        : m_directories(panel.canChooseDirectories)
    {
        setWindowTitle(panel.title);
        setAcceptMode(QFileDialog::AcceptOpen);
        setDirectory(panel.directory.isEmpty() ? QDir::homePath() : panel.directory);
        if (!panel.canChooseFiles)
            setFileMode(QFileDialog::Directory);
        else if (panel.canChooseDirectories)
            setFileMode(QFileDialog::AnyFile);
        else
            setFileMode(QFileDialog::ExistingFile);
        setOption(QFileDialog::DontUseNativeDialog, desktop::kQtFilePanels);
        // A highlighted folder's name goes into the name field, so that "Choose" takes it.
        if (desktop::kQtFilePanels && panel.canChooseFiles && panel.canChooseDirectories) {
            connect(this, &QFileDialog::currentChanged, this, [this](const QString& path) {
                auto* name = findChild<QLineEdit*>("fileNameEdit");
                const QFileInfo item(path);
                if (name != nullptr && item.isDir())
                    name->setText(item.fileName());
            });
        }
        if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
            auto* message = new QLabel(panel.message);
            message->setWordWrap(true);
            grid->addWidget(message, grid->rowCount(), 0, 1, grid->columnCount());
        }
    }

    void accept() override
    {
        const QStringList chosen = selectedFiles();
        if (m_directories && chosen.size() == 1) {
            // This mode would also take a typed name of nothing; the panel only
            // returns items that exist, so such a name keeps it open.
            if (QFileInfo::exists(chosen.first()))
                QDialog::accept();
            return;
        }
        QFileDialog::accept();
    }

private:
    bool m_directories;
};

// A dialog's parent: the window while that is on screen, so that the dialog is
// centred over it; a minimised window would take the dialog out of sight with it.
QWidget* over(QWidget* window)
{
    return window != nullptr && window->isVisible() && !window->isMinimized() ? window : nullptr;
}

// A message box in the launcher's dark scheme, centred over the window, and
// wide enough for each of its texts on one line.
class MessageBox final : public QMessageBox {
public:
    explicit MessageBox(QWidget* window)
        : QMessageBox(over(window))
    {
        setPalette(style::darkPalette());
    }

protected:
    void showEvent(QShowEvent* event) override
    {
        // Qt wraps the informative text at the width of the main text; one
        // that fits on a line of a readable width keeps to its line, and a
        // longer one wraps at that width.
        auto* informative = findChild<QLabel*>("qt_msgbox_informativelabel");
        if (informative != nullptr && informative->fontMetrics().horizontalAdvance(informative->text()) <= kWidestLine)
            informative->setWordWrap(false);
        else if (informative != nullptr)
            informative->setMinimumWidth(kWidestLine);
        QMessageBox::showEvent(event);
    }

private:
    static constexpr int kWidestLine = 480;
};

} // namespace

PanelChoice QtDesktopServices::choose(const OpenPanel& panel)
{
    ItemDialog dialog(panel);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QList<QUrl> urls = dialog.selectedUrls();
    return {true, urls.isEmpty() ? QUrl() : urls.first()};
}

bool QtDesktopServices::open(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

void QtDesktopServices::alert(const Alert& alert, QWidget* window)
{
    MessageBox box(window);
    box.setIcon(QMessageBox::Warning);
    box.setText(alert.messageText);
    box.setInformativeText(alert.informativeText);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void QtDesktopServices::about(QWidget* window)
{
    const QString name = QApplication::applicationDisplayName();
    MessageBox box(window);
    box.setWindowTitle(QApplication::translate("launcher::QtDesktopServices", "About %1").arg(name));
    box.setText(QStringLiteral("<h3>%1</h3><p>%2</p>")
                    .arg(name.toHtmlEscaped(), QString::fromStdString(versionText()).toHtmlEscaped()));
    box.setIconPixmap(QApplication::windowIcon().pixmap(64));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

std::optional<std::size_t> QtDesktopServices::chooseFromList(const ListPanel& panel, QWidget* window)
{
    ListDialog dialog(panel, over(window));
    dialog.exec();
    return dialog.chosen();
}

ConfirmationAnswer QtDesktopServices::confirm(const Confirmation& confirmation, QWidget* window)
{
    MessageBox box(window);
    box.setIcon(QMessageBox::Warning);
    box.setText(confirmation.messageText);
    box.setInformativeText(confirmation.informativeText);
    QPushButton* confirm = box.addButton(confirmation.confirmButton, QMessageBox::AcceptRole);
    box.setDefaultButton(box.addButton(QMessageBox::Cancel));
    if (!confirmation.option.isEmpty()) {
        auto* option = new QCheckBox(confirmation.option);
        option->setChecked(true);
        QObject::connect(option, &QCheckBox::toggled, &box, [&box, &confirmation](bool ticked) {
            box.setInformativeText(ticked ? confirmation.informativeText : confirmation.informativeTextUnticked);
        });
        box.setCheckBox(option);
    }
    box.exec();
    return {box.clickedButton() == confirm, box.checkBox() != nullptr && box.checkBox()->isChecked()};
}

PanelChoice QtDesktopServices::chooseNewFile(const SavePanel& panel, QWidget* window)
{
    QFileDialog dialog(over(window), panel.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDirectory(panel.directory.isEmpty() ? QDir::homePath() : panel.directory);
    dialog.selectFile(panel.fileName);
    dialog.setDefaultSuffix(panel.suffix);
    // Whoever writes the file answers for one that exists.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // As the open panels.
    dialog.setOption(QFileDialog::DontUseNativeDialog, desktop::kQtFilePanels);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QList<QUrl> urls = dialog.selectedUrls();
    return {true, urls.isEmpty() ? QUrl() : urls.first()};
}

} // namespace launcher
