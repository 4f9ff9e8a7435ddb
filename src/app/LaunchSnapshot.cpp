#include "app/LaunchSnapshot.h"

#include "app/SaveSnapshots.h"

#include <exception>

namespace launcher {

std::optional<std::string> snapshotSavesBeforeLaunch(const Layout& layout)
{
    try {
        SaveSnapshots(layout).takeForLaunch();
        return std::nullopt;
    } catch (const std::exception& failure) {
        return failure.what();
    }
}

std::string snapshotFailureNote(const std::string& failure)
{
    return "[Veyra 2 Mac Launcher] The snapshot of your saves before this start failed: " + failure +
           ". The game starts anyway; earlier snapshots are unchanged.\n";
}

} // namespace launcher
