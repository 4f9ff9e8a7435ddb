#include "app/RepairRefusal.h"

#include "core/PlayerSentences.h"

namespace launcher {

std::string repairRefusalSentence(RepairNeed need, FrontEnd frontEnd)
{
    struct Refusal {
        const char* what;
        const char* windowWay;
        const char* commandLineWay;
    };
    using namespace sentences;
    static constexpr Refusal kInstallation{kNoInstallationToRepair, kSetUpFirst, kSetUpWithInstall};
    static constexpr Refusal kGame{kRepairNeedsGame, kChooseGameThenRepair, kRepairAgainWithGame};
    static constexpr Refusal kAudio{kRepairNeedsAudio, kChooseAudioThenRepair, kRepairAgainWithAudio};
    static constexpr Refusal kGameAndAudio{kRepairNeedsGameAndAudio, kChooseBothThenRepair, kRepairAgainWithBoth};
    const Refusal& refusal = need == RepairNeed::installation ? kInstallation
                             : need == RepairNeed::game       ? kGame
                             : need == RepairNeed::audio      ? kAudio
                                                              : kGameAndAudio;
    return std::string(refusal.what) + " " +
           (frontEnd == FrontEnd::window ? refusal.windowWay : refusal.commandLineWay);
}

RepairRefusal::RepairRefusal(RepairNeed need)
    : SetupFailure(repairRefusalSentence(need, FrontEnd::window))
    , m_need(need)
{
}

} // namespace launcher
