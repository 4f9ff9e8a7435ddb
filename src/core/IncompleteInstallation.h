#pragma once
// A refusal met while the recorded installation is incomplete ("installed.json"
// exists, the installed test fails): setup will not set up over it, and the game
// cannot start from it. Repair is the way on, and each front end says so in its
// own words: the command line names --repair, the window shows its repair panel.

#include "core/Installation.h"
#include "core/SetupFailure.h"

#include <string>

namespace launcher {

class IncompleteInstallation final : public SetupFailure {
public:
    using SetupFailure::SetupFailure;
};

// Throws the sentence as IncompleteInstallation when the installation is
// recorded but incomplete, and as a plain SetupFailure otherwise.
[[noreturn]] inline void throwRefusal(const Installation& installation, const std::string& sentence)
{
    if (installation.hasRecord() && !installation.isInstalled())
        throw IncompleteInstallation(sentence);
    throw SetupFailure(sentence);
}

} // namespace launcher
