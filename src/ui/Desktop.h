#pragma once

namespace launcher {

// Starts the desktop front end and returns the process's exit status.
int runDesktop(int argc, char** argv);

} // namespace launcher
