#include "app/CommandLineMessages.h"

#include "app/IncompleteInstallation.h"
#include "app/RepairRefusal.h"
#include "app/UnknownSnapshot.h"

namespace launcher {
namespace {

std::string repairRefusal(RepairNeed need)
{
    switch (need) {
    case RepairNeed::installation:
        return "There is no installation to repair. Set it up with --install.";
    case RepairNeed::game:
        return "Repair must import the game files again. Run --repair again with --game PATH.";
    case RepairNeed::audio:
        return "Repair must install the audio decoder again. Run --repair again with --audio PATH.";
    case RepairNeed::gameAndAudio:
        break;
    }
    return "Repair must import the game files and install the audio decoder again. Run --repair again with --game "
           "PATH and --audio PATH.";
}

} // namespace

std::string commandLineMessage(const std::exception& failure)
{
    if (const auto* refusal = dynamic_cast<const RepairRefusal*>(&failure))
        return repairRefusal(refusal->need());
    // The sentence stays as it is, so that scripts matching it keep working.
    if (dynamic_cast<const IncompleteInstallation*>(&failure))
        return std::string(failure.what()) + " Repair it with --repair.";
    if (dynamic_cast<const UnknownSnapshot*>(&failure))
        return std::string(failure.what()) + " See the names with --saves.";
    return failure.what();
}

} // namespace launcher
