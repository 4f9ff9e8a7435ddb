#include "import/TreeWalk.h"

#include "core/Platform.h"
#include "core/PlayerSentences.h"
#include "core/SetupFailure.h"

#include <system_error>
#include <vector>

namespace launcher {

namespace fs = std::filesystem;

void walkTree(const fs::path& folder, WalkRules rules, const WalkVisit& visit)
{
    // An explicit stack of open folders: an archive can nest deeper than the call stack allows.
    std::vector<fs::directory_iterator> open;
    auto enter = [&](const fs::path& path) {
        std::error_code error;
        fs::directory_iterator entries(path, error);
        if (error && rules.regularOnly)
            throw fs::filesystem_error("cannot read folder", path, error);
        if (!error)
            open.push_back(std::move(entries));
    };
    enter(folder);
    while (!open.empty()) {
        fs::directory_iterator& entries = open.back();
        if (entries == fs::directory_iterator()) {
            open.pop_back();
            continue;
        }
        const fs::directory_entry entry = *entries;
        std::error_code error;
        entries.increment(error);
        if (error) {
            if (rules.regularOnly)
                throw fs::filesystem_error("cannot read folder", entry.path().parent_path(), error);
            open.pop_back();
        }
        if (rules.skipHidden && platform::isHidden(entry.path()))
            continue;

        // Comes from the folder listing where the file system reports the type. An
        // imported tree must be examined whole, so a failure to read it passes on
        // unchanged; any other walk passes over an entry it cannot examine (a path
        // too long for the system, a folder without permissions).
        std::error_code unexaminable;
        const fs::file_type type =
            (rules.regularOnly ? entry.symlink_status() : entry.symlink_status(unexaminable)).type();
        if (unexaminable)
            continue;
        if (rules.regularOnly && type != fs::file_type::regular && type != fs::file_type::directory)
            throw SelectionRefused(Selection::game, sentences::kLinksInGameFiles);
        if (!visit(entry))
            return;
        if (type == fs::file_type::directory)
            enter(entry.path());
    }
}

} // namespace launcher
