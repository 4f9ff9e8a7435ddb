#pragma once

namespace launcher {

class Installation;

// Checks this Mac before the large writes: creates the root, refuses a path
// with a newline and a volume with less than 12 GB available, and runs the
// host's x86_64 check, whose failure asks for Rosetta.
void preflight(const Installation& installation);

} // namespace launcher
