#include "saves/RestoreRecovery.h"

#include "saves/SaveSnapshots.h"
#include "saves/SavesSwap.h"

namespace launcher {

void recoverSaves(const Layout& layout, const Host& host)
{
    if (hasJournalledRestore(layout))
        SaveSnapshots(layout).takeKept(
            "Made before finishing a restore that was interrupted; launches never remove it.");
    recoverInterruptedRestore(layout, host);
}

} // namespace launcher
