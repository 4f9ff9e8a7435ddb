#pragma once
// Which symbolic links among the saves snapshots and restores follow. A player
// may move the users folder, or a profile folder directly inside it, to a
// folder of their own (a synced one) and link it back: those links are
// followed, each to a folder of the player's own. Never followed, and left out
// of snapshots and restores with a sentence saying so:
// - a link whose folder is the launcher's root, holds it, or lies inside it
//   (a profile linked to the home folder would copy the snapshots into
//   themselves, and a restore would swap the root away);
// - a second link to a folder already followed, or into or around it (two
//   profiles linked to one folder, a link back to the users folder): its saves
//   are copied once, through the first link by name.
// Links anywhere else below the users folder are neither followed nor left out
// with a sentence: Wine's own links to the player's folders are never saves.
//
//   const FollowedLinks links = followedLinks(layout);   // reads only
//   if (links.follows(layout.users() / "player")) ...

#include "core/Layout.h"

#include <filesystem>
#include <string>
#include <vector>

namespace launcher {

struct FollowedLinks {
    struct LeftOut {
        std::filesystem::path link;
        // One plain sentence for the player: which link, and why.
        std::string sentence;
    };

    // The links followed, by their paths below the users folder as a walk of it
    // meets them.
    std::vector<std::filesystem::path> followed;
    std::vector<LeftOut> leftOut;

    bool follows(const std::filesystem::path& link) const;
    bool leavesOut(const std::filesystem::path& link) const;
    std::vector<std::string> sentences() const;
};

// The links at the users folder and directly inside it, in name order.
FollowedLinks followedLinks(const Layout& layout);

} // namespace launcher
