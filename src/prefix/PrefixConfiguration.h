#pragma once
// What prefix configuration leaves in the prefix, for the checks that later ask
// whether it is still there.

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace launcher {

// The only drive entries of the prefix's "dosdevices" that stay.
inline constexpr std::array<std::string_view, 2> kKeptDrives{"c:", "z:"};

// The in-process server of the decoder's class, in the 32-bit view of the registry.
inline constexpr const char* kDecoderClassKey =
    R"(HKLM\Software\Classes\Wow6432Node\CLSID\{2EEB4ADF-4578-4D10-BCA7-BB955F56320A}\InprocServer32)";

class Installation;

// Creates the prefix with the runtime, or brings it up to date, keeping the
// shell folders of its profiles inside it (see ProfileFolders.h): the first
// step of configurePrefix().
void createPrefix(const Installation& installation);

// Whether what reg query printed for the decoder's class names the registered library.
bool namesRegisteredLibrary(const std::string& output);

// Creates or updates the prefix, keeps only the drives "c:" and "z:", links the
// game into it, installs the decoder `codec` and registers it, and writes the
// registry settings the game needs.
void configurePrefix(const Installation& installation, const std::filesystem::path& codec);

} // namespace launcher
