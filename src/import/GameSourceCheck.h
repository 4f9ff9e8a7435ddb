#pragma once

#include <filesystem>

namespace launcher {

class Installation;

// Reads the game selection where it lies and refuses it, with importGame()'s
// sentence, when the import would: a folder's game is located, vetted and
// validated in place, an archive is listed and its names checked, and
// nothing is extracted or copied. An archive that lists well may still fail
// once unpacked; the import tells of that. Writes nothing but the setup log
// of a listing that fails, and takes no lock.
void checkGameSource(const Installation& installation, const std::filesystem::path& selection);

} // namespace launcher
