#pragma once

#include "core/SetupFailure.h"

#include <filesystem>

namespace launcher {

class Layout;

// The refusal of a root that the launcher did not make and that holds other
// files. Each front end adds its way on: the command line names --home, the
// window its folder choice.
class ForeignRoot final : public SetupFailure {
public:
    explicit ForeignRoot(const std::filesystem::path& root)
        : SetupFailure("The folder " + root.string() + " already holds other files.")
    {
    }
};

// Refuses, before setup touches anything, a root that the launcher did not make
// and that already holds something: setup replaces "Runtime" and "Install/game"
// below it, which in a home folder or a project folder are somebody's own. A
// root the launcher made holds "launcher.lock"; "Logs" alone may come from the
// window's "Open Logs". A missing or empty root is fine.
void refuseForeignRoot(const Layout& layout);

} // namespace launcher
