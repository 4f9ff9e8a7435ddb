#pragma once

namespace launcher {

// Who tells the player: the command line names its options as the way on, the
// window its buttons and panels.
enum class FrontEnd { commandLine, window };

} // namespace launcher
