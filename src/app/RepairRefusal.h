#pragma once
// Repair's refusals, raised before it changes anything: there is no installation
// to repair, or a step it must redo takes an input that was not given. The
// message is the window's, which never names command-line flags;
// repairRefusalSentence() words the same refusal for each front end.

#include "app/FrontEnd.h"
#include "core/SetupFailure.h"

#include <string>

namespace launcher {

enum class RepairNeed {
    // There is no record: nothing was ever set up here, so setup is the way.
    installation,
    game,
    audio,
    gameAndAudio,
};

// Why repair refused, with the front end's way on.
std::string repairRefusalSentence(RepairNeed need, FrontEnd frontEnd);

class RepairRefusal final : public SetupFailure {
public:
    explicit RepairRefusal(RepairNeed need);

    RepairNeed need() const { return m_need; }

private:
    RepairNeed m_need;
};

} // namespace launcher
