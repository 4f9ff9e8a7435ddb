#pragma once

#include <filesystem>
#include <optional>

namespace launcher {

// The support library without which the runtime is incomplete, in "Runtime/lib".
inline constexpr const char* kRequiredRuntimeLibrary = "libinotify.0.dylib";

class Installation;

// Obtains both runtime archives (see VerifiedDownload.h), unpacks them in a
// staging folder and puts the runtime in place; a runtime it replaces is set
// aside and comes back unless the new one starts.
void installRuntime(const Installation& installation, const std::optional<std::filesystem::path>& cache);

} // namespace launcher
