#include "app/RepairRefusal.h"

namespace launcher {
namespace {

const char* sentence(RepairNeed need)
{
    switch (need) {
    case RepairNeed::installation:
        return "There is no installation to repair. Set up Veyra 2 first.";
    case RepairNeed::game:
        return "Repair must import the game files again. Choose your Veyra 2 game files, then repair.";
    case RepairNeed::audio:
        return "Repair must install the audio decoder again. Choose your audio file, then repair.";
    case RepairNeed::gameAndAudio:
        break;
    }
    return "Repair must import the game files and install the audio decoder again. Choose your Veyra 2 game files "
           "and your audio file, then repair.";
}

} // namespace

RepairRefusal::RepairRefusal(RepairNeed need) : SetupFailure(sentence(need)), m_need(need) {}

} // namespace launcher
