#pragma once
// The shell folders of the prefix's user profiles. When Wine creates a profile,
// or finds one of its shell folders missing, it links Documents, Desktop,
// Downloads, Music, Pictures and Videos to the player's own folders ("~/Documents",
// else the home folder itself). A game that saves under "My Documents" would then
// write into the player's home, out of every snapshot. Folders that are there
// already Wine leaves alone, so an empty real folder in place of each new link
// keeps the profile inside the prefix for good.
//
//   const std::vector<fs::path> earlier = profileLinks(layout);
//   wine.updatePrefix();
//   replaceProfileLinks(layout, earlier);   // only the links the runtime just made
//
// Blocks the caller; the install lock is held.

#include "core/Layout.h"

#include <filesystem>
#include <vector>

namespace launcher {

// The symbolic links directly inside each profile folder ("users/NAME/Documents"),
// whatever they lead to; a profile folder may itself be a link to a folder.
std::vector<std::filesystem::path> profileLinks(const Layout& layout);

// Replaces each profile link but those in `kept` by an empty folder. Only the
// link goes, never what it leads to. Throws the file system's error.
void replaceProfileLinks(const Layout& layout, const std::vector<std::filesystem::path>& kept);

} // namespace launcher
