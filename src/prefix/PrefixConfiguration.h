#pragma once
// What prefix configuration leaves in the prefix, for the checks that later ask
// whether it is still there.

#include <array>
#include <string>
#include <string_view>

namespace launcher {

// The only drive entries of the prefix's "dosdevices" that stay.
inline constexpr std::array<std::string_view, 2> kKeptDrives{"c:", "z:"};

// The in-process server of the decoder's class, in the 32-bit view of the registry.
inline constexpr const char* kDecoderClassKey =
    R"(HKLM\Software\Classes\Wow6432Node\CLSID\{2EEB4ADF-4578-4D10-BCA7-BB955F56320A}\InprocServer32)";

// Whether what reg query printed for the decoder's class names the registered library.
bool namesRegisteredLibrary(const std::string& output);

} // namespace launcher
