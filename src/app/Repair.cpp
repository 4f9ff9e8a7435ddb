#include "core/Installer.h"

#include "app/InstallationParts.h"
#include "app/RepairRefusal.h"
#include "app/SetupSteps.h"
#include "core/InstallLock.h"
#include "core/Posix.h"

#include <string>
#include <system_error>
#include <vector>

namespace launcher {
namespace {

namespace fs = std::filesystem;

std::optional<RepairNeed> missingInput(const RepairPlan& plan, const RepairSources& sources)
{
    const bool game = plan.needsGame() && !sources.game;
    const bool audio = plan.needsAudio() && !sources.audio;
    if (game && audio)
        return RepairNeed::gameAndAudio;
    if (game)
        return RepairNeed::game;
    if (audio)
        return RepairNeed::audio;
    return std::nullopt;
}

// Prefix configuration replaces nothing but a link at the game link's place, and
// whatever else stands there the launcher did not make: it is kept beside it,
// under the first free name of "Veyra 2 (moved aside)", "Veyra 2 (moved aside 2)", ...
void moveAsideFromGameLink(const fs::path& link)
{
    std::error_code error;
    const fs::file_status status = fs::symlink_status(link, error);
    if (!fs::exists(status) || fs::is_symlink(status))
        return;
    const std::string name = link.filename().string() + " (moved aside";
    fs::path aside = link.parent_path() / (name + ")");
    for (int number = 2; presentQuietly(aside); ++number)
        aside = link.parent_path() / (name + " " + std::to_string(number) + ")");
    fs::rename(link, aside);
}

} // namespace

void Installer::repair(const RepairSources& sources) const
{
    // Without a record there is nothing to repair, and nothing is created for it.
    if (!hasRecord())
        throw RepairRefusal(RepairNeed::installation);
    const InstallLock lock(layout().lockFile());
    const VerificationReport findings = checkInstallation(*this);
    if (!findings.recorded)
        throw RepairRefusal(RepairNeed::installation);
    if (findings.sound()) {
        report("Nothing to repair: the installation is sound.");
        return;
    }
    const RepairPlan& plan = findings.plan;
    if (const std::optional<RepairNeed> need = missingInput(plan, sources))
        throw RepairRefusal(*need);
    // Read-only, before anything is fetched: a wrong game is refused at once.
    if (plan.game)
        checkGameSource(*sources.game);

    // The steps of setup that are damaged, in setup's order.
    std::vector<fs::path> selections;
    for (const auto& given : {sources.game, sources.audio, sources.cache})
        if (given)
            selections.push_back(*given);
    beginInstallationWork(*this, selections);
    if (plan.needsPreflight())
        preflight();
    fs::path codec = layout().verifiedDecoder();
    if (plan.needsAudio()) {
        report("Verifying your audio package");
        codec = prepareCodec(*sources.audio);
    }
    for (const fs::path& archive : plan.corruptDownloads)
        fs::remove(archive);
    if (plan.runtime)
        installRuntime(sources.cache);
    if (plan.game)
        importGame(*sources.game);
    if (plan.game || plan.directX)
        installDirectX();
    if (plan.prefix) {
        // Without its decoder the prefix counts as damaged until it is configured
        // to the end, so a repair stopped halfway through it is taken up again by
        // the next one rather than found sound.
        fs::remove(layout().decoder());
        moveAsideFromGameLink(layout().gameLink());
        configurePrefix(codec);
    }
    recordInstallation(*this);
}

} // namespace launcher
