#pragma once
// What the application menu's actions say: their dialogs, alerts and status
// lines, worded from what the engine reports. Reads nothing from the disk; any thread.

#include "app/UninstallPlan.h"
#include "saves/SaveSnapshot.h"
#include "ui/DesktopServices.h"

#include <QString>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace launcher::menu {

// When the snapshot was taken, in local time: "10 December 2026, 15:15:03",
// with "(2)" added for "-2"; the name itself when it has no time in it.
QString snapshotTime(const std::string& name);

// Restore Saves…
extern const QString kLookingForSnapshots;
Alert noSnapshots();
// The snapshots newest first, as the engine lists them.
ListPanel snapshotPanel(const std::vector<SaveSnapshot>& snapshots);
Confirmation restoreConfirmation(const SaveSnapshot& snapshot);
// After a setup, for the newest snapshot an earlier installation kept.
Confirmation keptSavesOffer(const SaveSnapshot& snapshot);
QString restoringStatus(const SaveSnapshot& snapshot);
QString restoredStatus(const RestoredSaves& restored);

// Uninstall Veyra 2…
Alert nothingToUninstall(const std::filesystem::path& root);
// The sizes of the root's entries, by name, as the question shows them.
using EntrySizes = std::map<std::string, std::uintmax_t>;
// Looking for what an uninstall removes, and how large it is.
extern const QString kMeasuringUninstall;
// From the plans of an uninstall that keeps the saves and of one that does
// not, naming each entry as the player would, with its size. The choice to keep
// them is offered, ticked, where there are saves and something else to remove;
// without it the answer's option is false.
Confirmation uninstallConfirmation(const std::filesystem::path& root, const UninstallPlan& keepingSaves,
                                   const UninstallPlan& removingAll, const EntrySizes& sizes);
extern const QString kUninstalling;
QString uninstalledStatus(const std::filesystem::path& root, const UninstallReport& report);

// Save Diagnostics…
// Suggests `fileName` in `folder`.
SavePanel diagnosticsPanel(const QString& folder, const QString& fileName);
// The chosen name is taken; the panel opens again with a free one.
Alert diagnosticsNameTaken(const QString& fileName);
extern const QString kWritingDiagnostics;
QString diagnosticsSavedStatus(const std::filesystem::path& archive);

} // namespace launcher::menu
