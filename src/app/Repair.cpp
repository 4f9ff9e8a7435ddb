#include "core/Installation.h"

#include "app/Repair.h"
#include "app/RepairRefusal.h"
#include "app/SetupSteps.h"
#include "app/Verify.h"
#include "core/InstallLock.h"
#include "core/PlayerSentences.h"
#include "core/Posix.h"
#include "import/DirectXComponents.h"
#include "import/GameImport.h"
#include "import/GameSourceCheck.h"
#include "prefix/AudioCodec.h"
#include "prefix/PrefixConfiguration.h"
#include "runtime/Preflight.h"
#include "runtime/RuntimeInstallation.h"

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

void repair(const Installation& installation, const RepairSources& sources)
{
    // Without a record there is nothing to repair, and nothing is created for it.
    if (!installation.hasRecord())
        throw RepairRefusal(RepairNeed::installation);
    const InstallLock lock(installation.layout().lockFile());
    const VerificationReport findings = checkInstallation(installation);
    if (!findings.recorded)
        throw RepairRefusal(RepairNeed::installation);
    if (findings.sound()) {
        installation.report(sentences::kNothingToRepair);
        return;
    }
    const RepairPlan& plan = findings.plan;
    if (const std::optional<RepairNeed> need = missingInput(plan, sources))
        throw RepairRefusal(*need);
    // Read-only, before anything is fetched: a wrong game is refused at once.
    if (plan.game)
        checkGameSource(installation, *sources.game);

    // The steps of setup that are damaged, in setup's order.
    std::vector<fs::path> selections;
    for (const auto& given : {sources.game, sources.audio, sources.cache})
        if (given)
            selections.push_back(*given);
    beginInstallationWork(installation, selections);
    if (plan.needsPreflight())
        preflight(installation);
    fs::path codec = installation.layout().verifiedDecoder();
    if (plan.needsAudio()) {
        installation.report("Verifying your audio package");
        codec = prepareCodec(installation, *sources.audio);
    }
    for (const fs::path& archive : plan.corruptDownloads)
        fs::remove(archive);
    if (plan.runtime)
        installRuntime(installation, sources.cache);
    if (plan.game)
        importGame(installation, *sources.game);
    if (plan.game || plan.directX)
        installDirectX(installation);
    if (plan.prefix) {
        // Without its decoder the prefix counts as damaged until it is configured
        // to the end, so a repair stopped halfway through it is taken up again by
        // the next one rather than found sound.
        fs::remove(installation.layout().decoder());
        moveAsideFromGameLink(installation.layout().gameLink());
        configurePrefix(installation, codec);
    }
    recordInstallation(installation);
}

} // namespace launcher
