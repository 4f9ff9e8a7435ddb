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

// A name not taken in the folder, since an existing file is never replaced;
// on macOS the plain name, unchecked (DesktopConventions.h).
QString freshDiagnosticsName(const QString& folder)
{
    QString name = "Veyra 2 diagnostics.zip";
    if (!desktop::kLooksInsideTheDesktopUnasked)
        return name;
    for (int number = 2; QFileInfo::exists(QDir(folder).filePath(name)); ++number)
        name = QString("Veyra 2 diagnostics %1.zip").arg(number);
    return name;
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
                 sizes[installation.layout().backups().filename().string()] = entrySize(installation.layout().backups());
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
    const QString folder = diagnosticsFolder();
    const PanelChoice choice =
        m_services.chooseNewFile(menu::diagnosticsPanel(folder, freshDiagnosticsName(folder)), window);
    if (!choice.confirmed || choice.url.isEmpty() || !idle())
        return;
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
