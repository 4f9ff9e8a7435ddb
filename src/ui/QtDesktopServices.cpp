#include "ui/QtDesktopServices.h"

#include "app/VersionText.h"
#include "ui/DesktopConventions.h"
#include "ui/LauncherStyle.h"
#include "ui/ListDialog.h"
#include "ui/MessageBox.h"
#include "ui/Symbols.h"
#include "ui/WindowTexts.h"

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
    box.setObjectName("aboutBox");
    box.setWindowTitle(QApplication::translate("launcher::QtDesktopServices", "About %1").arg(name));
    box.setIconPixmap(symbols::applicationIcon(64, box.devicePixelRatioF()));
    // The one version text, as --version prints it.
    box.setTextFormat(Qt::RichText);
    box.setText(QStringLiteral("<b>%1</b>").arg(QString::fromStdString(versionText()).toHtmlEscaped()));
    box.setInformativeText(QApplication::translate("launcher::QtDesktopServices", texts::kAboutText));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

std::optional<std::size_t> QtDesktopServices::chooseFromList(const ListPanel& panel, QWidget* window)
{
    ListDialog dialog(panel, dialogParent(window));
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
    QFileDialog dialog(dialogParent(window), panel.title);
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
