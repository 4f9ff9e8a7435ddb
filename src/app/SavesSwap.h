#pragma once
// How a restore puts its copy of the saves live. It prepares the copy in a
// staging folder beside the users folder, "drive_c/Restore-staging-" + UUID,
// and swaps it in, so that the prefix is never without a users folder: by one
// exchanging rename where the file system has it, otherwise by two renames,
// between which a kill leaves the users folder missing until
// recoverInterruptedRestore() mends it at the next start.
//
// Called with the install lock held. Blocks the caller.

#include "core/Layout.h"

#include <filesystem>
#include <string_view>

namespace launcher {

inline constexpr std::string_view kRestoreStagingPrefix = "Restore-staging-";

// Where the staging folders of restores live: beside the users folder.
inline std::filesystem::path restoreStagingParent(const Layout& layout)
{
    return layout.users().parent_path();
}

// Puts `replacement` in the place of `live`, whose old entry ends at
// `replacement` after an exchange, or at `parked` after two renames; when
// nothing is at `live`, `replacement` is simply renamed there.
void swapIntoPlace(const std::filesystem::path& replacement, const std::filesystem::path& live,
                   const std::filesystem::path& parked);

// The two renames alone: `live` to `parked`, then `replacement` to `live`.
void swapByRenames(const std::filesystem::path& replacement, const std::filesystem::path& live,
                   const std::filesystem::path& parked);

// Mends what a killed restore left: with the users folder missing, the staging
// folder's complete copy ("users", once "previous-users" shows that the swap had
// begun) or else the parked old folder goes back in place. Then the restores'
// staging folders are removed.
void recoverInterruptedRestore(const Layout& layout);

// The names inside a restore's staging folder.
inline constexpr const char* kRestoredUsers = "users";
inline constexpr const char* kPreviousUsers = "previous-users";

} // namespace launcher
