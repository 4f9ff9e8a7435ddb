// The launcher model's menu actions (declared in LauncherModel.h): restoring
// the saves, uninstalling and the diagnostics archive.

#include "ui/LauncherModel.h"

#include "app/Diagnostics.h"
#include "app/EntrySize.h"
#include "app/Uninstall.h"
#include "saves/SaveSnapshot.h"
#include "saves/SavesRestore.h"
#include "ui/DesktopConventions.h"
#include "ui/MenuTexts.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWidget>

#include <filesystem>
#include <system_error>
#include <utility>

namespace launcher {
namespace {

// Where the diagnostics archive goes unless the player says otherwise: the
// desktop, where it is easy to find for attaching, or else the home folder.
QString diagnosticsFolder()
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return QFileInfo(desktop).isDir() ? desktop : QDir::homePath();
}

// Whether anything, a link included, has the name in the folder.
bool taken(const QString& folder, const QString& name)
{
    std::error_code error;
    return std::filesystem::exists(
        std::filesystem::symlink_status(QDir(folder).filePath(name).toStdString(), error));
}

// The name, or the first of "NAME 2.zip", "NAME 3.zip", ... not taken in the
// folder, since an existing file is never replaced.
QString freeName(const QString& folder, const QString& name)
{
    const QFileInfo plain(name);
    QString free = name;
    for (int number = 2; taken(folder, free); ++number)
        free = QString("%1 %2.%3").arg(plain.completeBaseName()).arg(number).arg(plain.suffix());
    return free;
}

} // namespace

void LauncherModel::restoreSaves(QWidget* window)
{
    if (!mayRestoreSaves())
        return;
    // Counting every snapshot's files can take a while.
    maintain(menu::kLookingForSnapshots, [window = QPointer(window)](const Installation& installation) -> Finish {
        return [snapshots = saveSnapshots(installation), window](LauncherModel& model) {
            model.offerSnapshots(snapshots, window);
        };
    });
}

void LauncherModel::offerSnapshots(const std::vector<SaveSnapshot>& snapshots, QWidget* window)
{
    assign(m_status, restingStatus(), &LauncherModel::statusChanged);
    if (snapshots.empty()) {
        m_services.alert(menu::noSnapshots(), window);
        return;
    }
    const std::optional<std::size_t> chosen = m_services.chooseFromList(menu::snapshotPanel(snapshots), window);
    if (!chosen)
        return;
    const SaveSnapshot snapshot = snapshots.at(*chosen);
    if (m_services.confirm(menu::restoreConfirmation(snapshot), window).confirmed)
        restoreSnapshot(snapshot);
}

void LauncherModel::offerKeptSaves(QWidget* window)
{
    const std::optional<SaveSnapshot> kept = std::exchange(m_keptSaves, std::nullopt);
    if (!kept || !mayRestoreSaves())
        return;
    if (m_services.confirm(menu::keptSavesOffer(*kept), window).confirmed)
        restoreSnapshot(*kept);
}

// The player may have started something else while the question was open.
void LauncherModel::restoreSnapshot(const SaveSnapshot& snapshot)
{
    if (!mayRestoreSaves())
        return;
    maintain(menu::restoringStatus(snapshot), [name = snapshot.name](const Installation& installation) -> Finish {
        return [restored = launcher::restoreSaves(installation, name)](LauncherModel& model) {
            model.assign(model.m_status, menu::restoredStatus(restored), &LauncherModel::statusChanged);
        };
    });
}

void LauncherModel::uninstall(QWidget* window)
{
    if (!idle())
        return;
    // Both plans only list the root's entries.
    const UninstallPlan keepingSaves = planUninstall(m_installation, true);
    const UninstallPlan removingAll = planUninstall(m_installation, false);
    if (removingAll.removed.empty()) {
        m_services.alert(menu::nothingToUninstall(m_installation.root()), window);
        return;
    }
    // Measuring the game and the runtime can take a while.
    maintain(menu::kMeasuringUninstall,
             [keepingSaves, removingAll, window = QPointer(window)](const Installation& installation) -> Finish {
                 menu::EntrySizes sizes;
                 for (const std::string& name : removingAll.removed)
                     sizes[name] = entrySize(installation.root() / name);
                 const std::filesystem::path backups = installation.layout().backups();
                 sizes[backups.filename().string()] = entrySize(backups);
                 return [keepingSaves, removingAll, sizes, window](LauncherModel& model) {
                     model.confirmUninstall(keepingSaves, removingAll, sizes, window);
                 };
             });
}

// The player may have started something else while the question was open.
void LauncherModel::confirmUninstall(const UninstallPlan& keepingSaves, const UninstallPlan& removingAll,
                                     const menu::EntrySizes& sizes, QWidget* window)
{
    assign(m_status, restingStatus(), &LauncherModel::statusChanged);
    const ConfirmationAnswer answer = m_services.confirm(
        menu::uninstallConfirmation(m_installation.root(), keepingSaves, removingAll, sizes), window);
    if (!answer.confirmed || !idle())
        return;
    maintain(menu::kUninstalling, [keepSaves = answer.option](const Installation& installation) -> Finish {
        return [report = launcher::uninstall(installation, keepSaves)](LauncherModel& model) {
            model.finishUninstall(report);
        };
    });
}

void LauncherModel::finishUninstall(const UninstallReport& report)
{
    // As at a first start: nothing chosen, nothing installed and nothing to
    // repair; in this order, so that whoever follows `ready` and `repairNeeded`
    // finds the choices gone.
    setGameURL({});
    setAudioURL({});
    setOwnsFiles(false);
    assign(m_findings, RepairFindings{}, &LauncherModel::findingsChanged);
    setInstallation(InstallationState::none);
    assign(m_status, menu::uninstalledStatus(m_installation.root(), report), &LauncherModel::statusChanged);
}

void LauncherModel::saveDiagnostics(QWidget* window)
{
    if (!idle())
        return;
    QString folder = diagnosticsFolder();
    // On macOS the plain name, unchecked: the launcher does not look inside the
    // desktop before the player chose it (DesktopConventions.h).
    const QString suggested = "Veyra 2 diagnostics.zip";
    QString name = desktop::kLooksInsideTheDesktopUnasked ? freeName(folder, suggested) : suggested;
    PanelChoice choice;
    // A name that is taken is refused at once and the panel opens again with a
    // free one beside it, so that the player never starts over from the menu.
    for (;;) {
        choice = m_services.chooseNewFile(menu::diagnosticsPanel(folder, name), window);
        if (!choice.confirmed || choice.url.isEmpty() || !idle())
            return;
        const QFileInfo chosen(choice.url.toLocalFile());
        if (!taken(chosen.absolutePath(), chosen.fileName()))
            break;
        m_services.alert(menu::diagnosticsNameTaken(chosen.fileName()), window);
        folder = chosen.absolutePath();
        name = freeName(folder, chosen.fileName());
    }
    maintain(menu::kWritingDiagnostics,
             [archive = std::filesystem::path(choice.url.toLocalFile().toStdString())](
                 const Installation& installation) -> Finish {
                 writeDiagnostics(installation, archive);
                 return [archive](LauncherModel& model) {
                     model.assign(model.m_status, menu::diagnosticsSavedStatus(archive), &LauncherModel::statusChanged);
                 };
             });
}

} // namespace launcher
