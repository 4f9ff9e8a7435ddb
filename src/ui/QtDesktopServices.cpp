#include "ui/QtDesktopServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

namespace launcher {
namespace {

// A file dialog that also accepts a folder as the chosen item when the panel
// allows folders next to files, as the macOS panel does by itself: "Open" on a
// highlighted folder chooses it, a double click goes into it.
class ItemDialog final : public QFileDialog {
public:
    explicit ItemDialog(const OpenPanel& panel)
        : m_directories(panel.canChooseDirectories)
    {
        setWindowTitle(panel.title);
        setAcceptMode(QFileDialog::AcceptOpen);
        if (!panel.canChooseFiles)
            setFileMode(QFileDialog::Directory);
        else if (panel.canChooseDirectories)
            setFileMode(QFileDialog::AnyFile);
        else
            setFileMode(QFileDialog::ExistingFile);
#if !defined(Q_OS_MACOS)
        // Only the macOS panel offers files and folders at once; elsewhere Qt's own dialog does,
        // with a highlighted folder's name put into the name field so that "Choose" takes it.
        if (panel.canChooseFiles && panel.canChooseDirectories) {
            setOption(QFileDialog::DontUseNativeDialog);
            connect(this, &QFileDialog::currentChanged, this, [this](const QString& path) {
                auto* name = findChild<QLineEdit*>("fileNameEdit");
                const QFileInfo item(path);
                if (name != nullptr && item.isDir())
                    name->setText(item.fileName());
            });
        }
#endif
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

void QtDesktopServices::alert(const Alert& alert)
{
    QMessageBox box;
    box.setIcon(QMessageBox::Warning);
    box.setText(alert.messageText);
    box.setInformativeText(alert.informativeText);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void QtDesktopServices::about()
{
    const QString name = QApplication::applicationDisplayName();
    QMessageBox::about(nullptr, QApplication::translate("launcher::QtDesktopServices", "About %1").arg(name),
                       QStringLiteral("<h3>%1</h3><p>%2</p>")
                           .arg(name.toHtmlEscaped(), QApplication::translate("launcher::QtDesktopServices", "Version %1")
                                                          .arg(QApplication::applicationVersion())
                                                          .toHtmlEscaped()));
}

} // namespace launcher
