#include "ui/MenuTexts.h"

#include "app/AbandonedStaging.h"
#include "app/PlainSentences.h"
#include "app/ReadableSize.h"
#include "app/UninstallPlan.h"
#include "core/Layout.h"
#include "saves/SaveSnapshot.h"
#include "saves/SnapshotName.h"

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>

#include <map>
#include <string>
#include <vector>

namespace launcher::menu {
namespace {

QString text(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

// What an entry of the root is to the player: "the game files and the Windows
// environment" for "Install". Names the launcher did not make stay as they are.
std::string plainEntry(const Layout& layout, const std::string& name)
{
    const auto is = [&name](const std::filesystem::path& entry) { return entry.filename() == name; };
    if (is(layout.record()))
        return "the installation record";
    if (is(layout.install()))
        return "the game files and the Windows environment";
    if (is(layout.runtime()) || is(layout.runtimeAside()) || is(layout.runtimeSuperseded()))
        return "the compatibility runtime";
    if (is(layout.downloads()))
        return "the downloaded runtime archives";
    if (is(layout.audioImport()))
        return "the audio decoder";
    if (is(layout.logs()))
        return "the logs";
    if (is(layout.backups()))
        return "the snapshots of your saves";
    if (is(layout.lockFile()))
        return "the lock file";
    if (isSetupStagingName(name))
        return "unfinished setup work";
    return name;
}

// The phrase with its size, where it has one: "the logs (20 KB)".
std::string withSize(const std::string& phrase, std::uintmax_t bytes)
{
    return bytes > 0 ? phrase + " (" + readableSize(bytes) + ")" : phrase;
}

// The size measured for the entry, or 0.
std::uintmax_t sizeOf(const EntrySizes& sizes, const std::string& name)
{
    const auto size = sizes.find(name);
    return size != sizes.end() ? size->second : 0;
}

// The entries as the player would name them, each with its size where it has
// one; entries of one kind (the runtime and the one set aside) are one item.
QString removedEntries(const Layout& layout, const UninstallPlan& plan, const EntrySizes& sizes)
{
    std::vector<std::string> phrases;
    std::map<std::string, std::uintmax_t> bytes;
    for (const std::string& name : plan.removed) {
        const std::string phrase = plainEntry(layout, name);
        if (!bytes.contains(phrase))
            phrases.push_back(phrase);
        // The record's few bytes would only distract.
        bytes[phrase] += name == layout.record().filename() ? 0 : sizeOf(sizes, name);
    }
    for (std::string& phrase : phrases)
        phrase = withSize(phrase, bytes[phrase]);
    return QString::fromStdString(listing(phrases));
}

// "the snapshots of your saves (2.1 MB) and the lock file (other launchers may hold it)".
QString keptEntries(const Layout& layout, const UninstallPlan& plan, const EntrySizes& sizes)
{
    std::vector<std::string> entries;
    for (const KeptEntry& kept : plan.kept) {
        entries.push_back(kept.name == layout.backups().filename()
                              ? withSize(plainEntry(layout, kept.name), sizeOf(sizes, kept.name))
                              : plainEntry(layout, kept.name) + " (" + kept.reason + ")");
    }
    return QString::fromStdString(listing(entries));
}

QString keptSentence(const Layout& layout, const UninstallPlan& plan, const EntrySizes& sizes)
{
    if (plan.kept.empty())
        return QString("It keeps the folder %1 itself.").arg(text(layout.root()));
    return QString("It keeps the folder %1 itself, with %2.")
        .arg(text(layout.root()), keptEntries(layout, plan, sizes));
}

QString fileCount(std::uintmax_t files)
{
    return files == 1 ? QString("1 file") : QString("%1 files").arg(QLocale().toString(static_cast<qulonglong>(files)));
}

} // namespace

const QString kLookingForSnapshots = "Looking for the snapshots of your saves…";
const QString kMeasuringUninstall = "Looking for what Uninstall removes…";
const QString kUninstalling = "Uninstalling Veyra 2…";
const QString kWritingDiagnostics = "Writing the diagnostics archive…";

QString snapshotTime(const std::string& name)
{
    const std::optional<SnapshotName> parsed = SnapshotName::parse(name);
    if (!parsed)
        return QString::fromStdString(name);
    const QString stamp = QString::fromStdString(parsed->stamp);
    const QDateTime taken(QDate::fromString(stamp.left(8), "yyyyMMdd"), QTime::fromString(stamp.mid(9, 6), "HHmmss"),
                          QTimeZone::utc());
    QString shown = QLocale().toString(taken.toLocalTime(), "d MMMM yyyy, HH:mm:ss");
    if (parsed->number > 1)
        shown += QString(" (%1)").arg(parsed->number);
    return shown;
}

Alert noSnapshots()
{
    return {"There are no snapshots of your saves yet", "The launcher takes one each time you play Veyra 2."};
}

ListPanel snapshotPanel(const std::vector<SaveSnapshot>& snapshots)
{
    ListPanel panel{
        .title = "Restore Saves",
        .message = "Choose the snapshot of your saves to restore. The launcher takes one each time you play Veyra 2.",
        .chooseButton = "Restore…",
        .items = {},
    };
    for (const SaveSnapshot& snapshot : snapshots) {
        QString detail = fileCount(snapshot.files) + " · " + QString::fromStdString(readableSize(snapshot.bytes)) +
                         " · " + QString::fromStdString(snapshot.name);
        if (snapshot.kept)
            detail += " · launches never remove it";
        panel.items.push_back({snapshotTime(snapshot.name), detail});
    }
    return panel;
}

Confirmation restoreConfirmation(const SaveSnapshot& snapshot)
{
    return {
        .messageText = QString("Restore your saves from %1?").arg(snapshotTime(snapshot.name)),
        .informativeText = "Your current saves are kept as a snapshot first, so you can undo this by restoring that "
                           "snapshot.",
        .confirmButton = "Restore",
        .option = {},
        .informativeTextUnticked = {},
    };
}

Confirmation keptSavesOffer(const SaveSnapshot& snapshot)
{
    return {
        .messageText = QString("Restore the saves you kept on %1?").arg(snapshotTime(snapshot.name)),
        .informativeText = "The new installation starts without them. You can also restore them later with Restore "
                           "Saves… in the launcher's menu.",
        .confirmButton = "Restore",
        .option = {},
        .informativeTextUnticked = {},
    };
}

QString restoringStatus(const SaveSnapshot& snapshot)
{
    return QString("Restoring your saves from %1…").arg(snapshotTime(snapshot.name));
}

QString restoredStatus(const RestoredSaves& restored)
{
    QString status = QString("Your saves from %1 are back.").arg(snapshotTime(restored.restored));
    if (!restored.previous.empty())
        status += QString(" The saves you had are kept as the snapshot of %1: restore it to undo this.")
                      .arg(snapshotTime(restored.previous));
    for (const std::string& leftOut : restored.leftOut)
        status += ' ' + QString::fromStdString(leftOut);
    return status;
}

Alert nothingToUninstall(const std::filesystem::path& root)
{
    return {"There is nothing to uninstall",
            QString("The launcher has nothing of its own in %1 to remove.").arg(text(root))};
}

Confirmation uninstallConfirmation(const std::filesystem::path& root, const UninstallPlan& keepingSaves,
                                   const UninstallPlan& removingAll, const EntrySizes& sizes)
{
    const Layout layout(root);
    // Keeping the saves keeps more only when there are saves.
    const bool savesAtStake = keepingSaves.kept.size() > removingAll.kept.size();
    Confirmation confirmation{
        .messageText = "Uninstall Veyra 2?",
        .informativeText =
            QString("This removes %1 from %2").arg(removedEntries(layout, removingAll, sizes), text(root)) +
            (savesAtStake ? ", and with them your saves and all their snapshots." : ".") + "\n\n" +
            keptSentence(layout, removingAll, sizes),
        .confirmButton = "Uninstall",
        .option = {},
        .informativeTextUnticked = {},
    };
    // The choice, where keeping the saves still leaves something to remove.
    if (savesAtStake && !keepingSaves.removed.empty()) {
        confirmation.option = "Keep my saves";
        confirmation.informativeTextUnticked = confirmation.informativeText;
        confirmation.informativeText =
            QString("This removes %1 from %2.").arg(removedEntries(layout, keepingSaves, sizes), text(root)) +
            "\n\n" + keptSentence(layout, keepingSaves, sizes) +
            " Your current saves are moved into a last snapshot first.";
    }
    return confirmation;
}

QString uninstalledStatus(const std::filesystem::path& root, const UninstallReport& report)
{
    QString status = QString("Veyra 2 is uninstalled and %1 freed.").arg(QString::fromStdString(readableSize(report.freedBytes)));
    if (!report.plan.kept.empty())
        status += QString(" Kept in %1: %2.").arg(text(root), keptEntries(Layout(root), report.plan, {}));
    for (const std::string& leftOut : report.savesLeftOut)
        status += ' ' + QString::fromStdString(leftOut);
    return status + " Select your files to set it up again.";
}

SavePanel diagnosticsPanel(const QString& folder, const QString& fileName)
{
    return {.title = "Save Diagnostics", .directory = folder, .fileName = fileName, .suffix = "zip"};
}

Alert diagnosticsNameTaken(const QString& fileName)
{
    return {QString("“%1” already exists").arg(fileName),
            "The launcher never replaces a file. Choose another name for the diagnostics archive; the panel suggests "
            "one that is free."};
}

QString diagnosticsSavedStatus(const std::filesystem::path& archive)
{
    return QString("Saved the diagnostics archive %1. Your home folder appears in it as ~. Attach it to your bug "
                   "report.")
        .arg(text(archive));
}

} // namespace launcher::menu
