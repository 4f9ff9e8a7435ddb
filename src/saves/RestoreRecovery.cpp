#include "saves/RestoreRecovery.h"

#include "core/PlayerSentences.h"
#include "saves/SaveSnapshots.h"
#include "saves/SavesSwap.h"

namespace launcher {

void recoverSaves(const Layout& layout, const Host& host)
{
    if (hasJournalledRestore(layout))
        SaveSnapshots(layout).takeKept(sentences::kRecoveredRestoreNote);
    recoverInterruptedRestore(layout, host);
}

} // namespace launcher
