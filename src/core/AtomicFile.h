#pragma once

#include <filesystem>
#include <string_view>

namespace launcher {

// Replaces the file with the given bytes so that a reader sees either the old
// file or the complete new one: a temporary file in the same folder is written,
// flushed to disk and renamed over the target. Throws std::filesystem::filesystem_error.
void writeFileAtomically(const std::filesystem::path& file, std::string_view bytes);

} // namespace launcher
