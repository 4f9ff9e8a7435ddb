#pragma once

#include <filesystem>

namespace launcher {

class Installation;

// Writes a ZIP archive for a bug report to the new file `archive` (an
// existing one is refused): a readable report, the record, the end of each
// log and a listing of the root, with the player's home folder shown as "~".
// Takes no lock, so it works while the game runs; below the root it writes
// only what the archive tool prints, to the setup log as every program does.
void writeDiagnostics(const Installation& installation, const std::filesystem::path& archive);

} // namespace launcher
