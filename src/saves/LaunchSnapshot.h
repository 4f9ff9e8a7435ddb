#pragma once
// The snapshot of the saves that every launch takes, after the install lock and
// before the game starts, once a restore that was killed is finished; the
// snapshots that rotate out are removed once the game has started, so that the
// player does not wait for it.
//
//   const LaunchSnapshot snapshot(installation);   // never throws
//   ... start the game ...
//   snapshot.rotateOut();

#include "core/Installation.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace launcher {

class LaunchSnapshot final {
public:
    // Takes the snapshot (see SaveSnapshots). A failure must not keep the player
    // from playing, so it is kept, not thrown.
    explicit LaunchSnapshot(const Installation& installation);

    // Why the snapshot failed, or which folders it left out because they
    // could not be read; nothing when it holds all the saves.
    const std::optional<std::string>& failure() const { return m_failure; }
    // The links it left out on purpose, one sentence each (see FollowedLinks.h).
    const std::vector<std::string>& leftOut() const { return m_leftOut; }
    // The launcher's own lines about both, for the game log; empty when there is nothing to say.
    std::string notes() const;

    // Removes the snapshots that rotate out now that one more exists. Never
    // throws: what is left is tried again at the next launch.
    void rotateOut() const noexcept;

private:
    Layout m_layout;
    std::optional<std::string> m_taken;
    std::vector<std::filesystem::path> m_unreadable;
    std::vector<std::string> m_leftOut;
    std::optional<std::string> m_failure;
};

} // namespace launcher
