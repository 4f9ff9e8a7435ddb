#pragma once

namespace launcher {

// The support library without which the runtime is incomplete, in "Runtime/lib".
inline constexpr const char* kRequiredRuntimeLibrary = "libinotify.0.dylib";

} // namespace launcher
