#pragma once

namespace launcher {

class Layout;

// Refuses, before setup touches anything, a root that the launcher did not make
// and that already holds something: setup replaces "Runtime" and "Install/game"
// below it, which in a home folder or a project folder are somebody's own. A
// root the launcher made holds "launcher.lock"; "Logs" alone may come from the
// window's "Open Logs". A missing or empty root is fine.
void refuseForeignRoot(const Layout& layout);

} // namespace launcher
