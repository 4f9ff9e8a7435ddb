#pragma once
// Shows the player's home folder as "~" in text that leaves the machine, in
// every form it takes there: the POSIX path ("/Users/alice"), percent-encoded
// ("file:///Users/my%20home", "%2FUsers%2Falice") or in JSON's escapes
// ("\u00c6"), Wine's view of it
// through drive Z: ("Z:\Users\alice"), and the Windows profile of the prefix
// ("C:\users\alice"; on disk, in the prefix and in snapshots, "users/alice",
// which becomes "users/~"), and the bare account name of at least 3
// characters in file names and contents ("alice-notes.log", "user=alice"). The
// text is compared with escapes decoded, in one normal form with full Unicode
// case folding (CaselessText.h), and any run of "/" or "\" counts as one
// separator, since Windows paths and escaped text write them so. Matches
// lie at boundaries only: a name that merely begins with the home folder's
// stays whole, and of a run of separators before a bare path only the last is
// taken ("file:///home/alice" becomes "file://~").
//
//   const HomeFolderMask mask = HomeFolderMask::forPlayer(layout);
//   const std::string shareable = mask.apply(logText);

#include "core/Layout.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace launcher {

class HomeFolderMask final {
public:
    // `homes`: the home folder's paths (as given and as resolved); `userNames`:
    // the names the player's Windows profile may have.
    HomeFolderMask(const std::vector<std::filesystem::path>& homes, const std::vector<std::string>& userNames);

    // The running player's: the home folder the default root lies in, and its
    // resolved path; the login name, $USER, the home folder's own name and the
    // profiles in the prefix's users folder.
    static HomeFolderMask forPlayer(const Layout& layout);

    std::string apply(std::string_view text) const;

private:
    struct Form {
        // Matched first, without a separator after it: "z:", "c:" or nothing.
        std::string lead;
        std::vector<std::string> components;
        // Whether a separator comes before the first component.
        bool separatorFirst = true;
        std::string replacement;
    };

    // How many bytes of `folded`, caseless text, the form matches from `at`; 0 for none.
    std::size_t matchAt(std::string_view folded, std::size_t at, const Form& form) const;

    std::vector<Form> m_forms;
};

} // namespace launcher
