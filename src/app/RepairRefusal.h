#pragma once
// Repair's refusals, raised before it changes anything: there is no installation
// to repair, or a step it must redo takes an input that was not given. The
// message is the window's, which never names command-line flags; the catalogue
// (FailureMessage.h) words the same refusal for each front end.

#include "core/SetupFailure.h"

namespace launcher {

enum class RepairNeed {
    // There is no record: nothing was ever set up here, so setup is the way.
    installation,
    game,
    audio,
    gameAndAudio,
};

class RepairRefusal final : public SetupFailure {
public:
    explicit RepairRefusal(RepairNeed need);

    RepairNeed need() const { return m_need; }

private:
    RepairNeed m_need;
};

} // namespace launcher
