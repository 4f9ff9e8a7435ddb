#include "app/Verify.h"

#include "app/PlainSentences.h"
#include "core/ExecutableFile.h"
#include "core/FileDigest.h"
#include "core/InstallLock.h"
#include "core/InstallationRecord.h"
#include "core/PathWithin.h"
#include "core/PlayerSentences.h"
#include "core/Posix.h"
#include "core/ProcessRunner.h"
#include "core/SetupFailure.h"
#include "core/Utf8Text.h"
#include "import/DirectXComponents.h"
#include "import/GameFileList.h"
#include "import/GameLocation.h"
#include "prefix/PrefixConfiguration.h"
#include "prefix/ProfileFolders.h"
#include "runtime/RuntimeInstallation.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <unordered_set>

namespace launcher {
namespace {

namespace fs = std::filesystem;

using Problem = std::optional<std::string>;

// How many missing or changed game files the game's sentence names.
constexpr std::size_t kNamedGameFiles = 3;
// How many bytes of its answer the runtime's sentence quotes, when the setup
// log cannot hold it.
constexpr std::size_t kQuotedAnswer = 200;

bool isRegularFile(const fs::path& path)
{
    std::error_code error;
    return fs::is_regular_file(fs::symlink_status(path, error));
}

bool matchesPin(const fs::path& file, const std::string& pin)
{
    return isRegularFile(file) && sha256Of(file) == pin;
}

Problem checkRecord(const Installation& installation, RepairPlan& plan)
{
    if (!installation.hasRecord())
        return sentences::kRecordMissing;
    InstallationRecord record;
    try {
        record = InstallationRecord::read(installation.record());
    } catch (const std::exception&) {
        // Unreadable and malformed alike are findings, not failures: repair writes the record anew.
        return sentences::kRecordUnreadable;
    }
    if (record.format != InstallationRecord::kFormat)
        return sentences::kRecordFormatUnknown;
    if (record.engine != installation.constants().engine.name) {
        plan.runtime = true;
        return "The installation uses the outdated runtime " + record.engine + ".";
    }
    return std::nullopt;
}

// Whether the runtime answers "--version", and if not, the end of the runtime's
// sentence, which says where its answer is.
struct RuntimeStart {
    bool starts = false;
    std::string why;
};

// What the runtime printed, as a clause that quotes its end, where a failing
// program says why, on one line.
std::string answerClause(const std::string& text)
{
    if (!isValidUtf8(text))
        return "it answered with something other than text.";
    std::string line;
    for (const char c : text) {
        const bool space = std::isspace(static_cast<unsigned char>(c)) != 0;
        if (!space)
            line += c;
        else if (!line.empty() && line.back() != ' ')
            line += ' ';
    }
    if (!line.empty() && line.back() == ' ')
        line.pop_back();
    if (line.empty())
        return "it printed nothing.";
    if (line.size() > kQuotedAnswer) {
        std::size_t start = line.size() - kQuotedAnswer;
        // Never from the middle of a character.
        while (start < line.size() && (static_cast<unsigned char>(line[start]) & 0xc0) == 0x80)
            ++start;
        line = "…" + line.substr(start);
    }
    return "it answered \"" + line + "\".";
}

// The runtime's answer stays in memory, so that a setup log that cannot be
// written changes only where the player reads it, not the verdict.
RuntimeStart askRuntime(const Installation& installation)
{
    ProgramAnswer answer;
    try {
        answer = installation.wineRuntime().askVersion(timeouts::kWineCheck);
    } catch (const std::system_error& failure) {
        return {false, ": it cannot be started (" + failure.code().message() + ")."};
    }
    if (answer.succeeded)
        return {true, ""};
    if (answer.logged)
        return {false, "; the setup log shows what it answered."};
    return {false,
            "; " + answerClause(answer.text) + " The setup log "
                + installation.log().lexically_relative(installation.root()).string() + " cannot be written."};
}

Problem checkRuntime(const Installation& installation, const RuntimeStart& start, RepairPlan& plan)
{
    Problem problem;
    if (!isExecutableFile(installation.wine()))
        problem = sentences::kRuntimeProgramMissing;
    else if (!presentQuietly(installation.layout().runtimeLibraries() / kRequiredRuntimeLibrary))
        problem = std::string("The runtime's library ") + kRequiredRuntimeLibrary + " is missing.";
    else if (!start.starts)
        problem = "The runtime does not start" + start.why;
    plan.runtime = plan.runtime || problem.has_value();
    return problem;
}

Problem checkGame(const Installation& installation, RepairPlan& plan)
{
    const fs::path game = installation.game();
    std::error_code error;
    if (!fs::is_directory(fs::symlink_status(game, error))) {
        plan.game = true;
        return sentences::kGameFolderMissing;
    }

    std::vector<std::string> changed(kRequiredGameFiles.begin(), kRequiredGameFiles.end());
    std::erase_if(changed, [&](const std::string& required) { return isRegularFile(game / required); });
    // Listed names are unique; only the few required ones can repeat. A set keeps
    // the check linear in the list's length.
    const std::unordered_set<std::string> required(changed.begin(), changed.end());
    const auto listed = changedGameFiles(game, installation.layout().gameFileList());
    for (const std::string& name : listed.value_or(std::vector<std::string>{}))
        if (!required.contains(name))
            changed.push_back(name);
    std::vector<std::string> libraries;
    for (const DirectXComponent& component : kDirectXComponents)
        if (!isRegularFile(game / component.library))
            libraries.emplace_back(component.library);

    if (!changed.empty()) {
        plan.game = true;
        changed.insert(changed.end(), libraries.begin(), libraries.end());
        return "Game files are missing or changed: " + listing(changed, kNamedGameFiles) + ".";
    }
    if (!listed) {
        plan.game = true;
        return sentences::kGameFileListUnreadable;
    }
    if (!libraries.empty()) {
        // The game's own DirectX installer is among the listed files, which are in place.
        plan.directX = true;
        return libraries.size() == 1 ? "The graphics library " + libraries.front() + " is missing."
                                     : "The graphics libraries " + listing(libraries) + " are missing.";
    }
    return std::nullopt;
}

// The link must lead to the game folder; a path that resolves to the same place counts.
Problem checkGameLink(const Layout& layout)
{
    std::error_code error;
    const fs::path link = layout.gameLink();
    const fs::file_status status = fs::symlink_status(link, error);
    if (!fs::exists(status))
        return "the game link is missing";
    if (!fs::is_symlink(status))
        return "something else stands where the game link belongs";
    const fs::path target = link.parent_path() / fs::read_symlink(link, error);
    std::error_code targetError;
    std::error_code gameError;
    const fs::path resolved = fs::weakly_canonical(target, targetError);
    if (error || targetError || resolved != fs::weakly_canonical(layout.game(), gameError) || gameError)
        return "the game link does not lead to the game folder";
    return std::nullopt;
}

bool decoderRegistered(const Installation& installation)
{
    try {
        return namesRegisteredLibrary(installation.wineRuntime().queryRegistry(kDecoderClassKey, timeouts::kWineCheck));
    } catch (const SetupFailure&) {
        // The query exits non-zero when the class key is absent; that and a
        // time-out alike leave the registration unproven.
        return false;
    } catch (const std::system_error&) {
        // So does a query that cannot start or prints no text.
        return false;
    }
}

Problem checkPrefix(const Installation& installation, bool starts, RepairPlan& plan)
{
    const Layout& layout = installation.layout();
    const std::string& codecPin = installation.constants().codecHash;
    std::vector<std::string> phrases;
    if (!isRegularFile(layout.prefix() / "system.reg"))
        phrases.emplace_back("the registry file system.reg is missing");
    for (const std::string_view drive : kKeptDrives)
        if (!presentQuietly(layout.prefix() / "dosdevices" / drive))
            phrases.push_back("the drive " + std::string(1, static_cast<char>(std::toupper(drive[0])))
                              + ": is missing");
    if (const Problem link = checkGameLink(layout))
        phrases.push_back(*link);
    if (!isRegularFile(layout.decoder()))
        phrases.emplace_back("the audio decoder is missing");
    else if (!matchesPin(layout.decoder(), codecPin))
        phrases.emplace_back("the audio decoder is not the tested library");

    // Only a prefix whose files are in place is asked: the runtime would make
    // itself a fresh registry where "system.reg" is missing.
    if (phrases.empty() && !starts)
        phrases.emplace_back("the audio decoder's registration cannot be checked while the runtime does not start");
    else if (phrases.empty() && !decoderRegistered(installation))
        phrases.emplace_back("the audio decoder is not registered");

    if (phrases.empty())
        return std::nullopt;
    plan.prefix = true;
    plan.verifiedDecoderKept = matchesPin(layout.verifiedDecoder(), codecPin);
    return sentence(phrases);
}

// Absent archives are fine: setup fetches them again when it needs them.
Problem checkDownloads(const Installation& installation, RepairPlan& plan)
{
    std::vector<std::string> damaged;
    for (const RuntimeAsset* asset : {&installation.constants().engine, &installation.constants().libraries}) {
        const fs::path cached = installation.layout().downloads() / asset->name;
        if (presentQuietly(cached) && !matchesPin(cached, asset->sha256)) {
            damaged.push_back(asset->name);
            plan.corruptDownloads.push_back(cached);
        }
    }
    if (damaged.empty())
        return std::nullopt;
    return damaged.size() == 1 ? "The downloaded runtime archive " + damaged.front() + " is damaged."
                               : "The downloaded runtime archives " + listing(damaged) + " are damaged.";
}

// Wine's links from a profile's shell folders to the player's own folders, in
// prefixes made before the launcher replaced them: the game's saves there are
// the player's files now, so they stay where they are, and only this says so.
std::optional<std::string> savesOutside(const Layout& layout)
{
    std::vector<std::string> outside;
    for (const fs::path& link : profileLinks(layout))
        if (!liesWithin(link, layout.root()))
            outside.push_back(link.lexically_relative(layout.users()).string());
    if (outside.empty())
        return std::nullopt;
    return outside.size() == 1 ? "The profile folder " + outside.front()
            + " leads outside the launcher's folder, so the saves in it are not in the snapshots."
                               : "The profile folders " + listing(outside)
            + " lead outside the launcher's folder, so the saves in them are not in the snapshots.";
}

} // namespace

VerificationReport checkInstallation(const Installation& installation)
{
    VerificationReport report;
    report.recorded = installation.hasRecord();
    RepairPlan& plan = report.plan;
    // Only a runtime that is in place is started.
    const RuntimeStart start = isExecutableFile(installation.wine()) ? askRuntime(installation) : RuntimeStart{};
    // A stop is heard between the parts, each of which may take a while.
    const auto checked = [&](const char* part, Problem problem) {
        installation.throwIfStopped();
        return VerificationLine{part, std::move(problem)};
    };
    installation.throwIfStopped();
    report.lines = {{
        checked("record", checkRecord(installation, plan)),
        checked("runtime", checkRuntime(installation, start, plan)),
        checked("game", checkGame(installation, plan)),
        checked("prefix", checkPrefix(installation, start.starts, plan)),
        checked("downloads", checkDownloads(installation, plan)),
    }};
    report.savesOutside = savesOutside(installation.layout());
    return report;
}

VerificationReport verify(const Installation& installation)
{
    // Keeps setup, repair and the game away while the parts are read; a root
    // without the lock file has no launcher in it to keep away.
    const std::unique_ptr<InstallLock> lock = InstallLock::takeExisting(installation.layout().lockFile());
    return checkInstallation(installation);
}

} // namespace launcher
