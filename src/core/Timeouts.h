#pragma once
// How long each external program may run before the process runner stops it.

#include <chrono>

namespace launcher::timeouts {

using Seconds = std::chrono::duration<double>;

// Any run that names no other limit, and every archive-tool run.
inline constexpr Seconds kDefault{900};
inline constexpr Seconds kArchiveTool = kDefault;
inline constexpr Seconds kX86_64Check{20};
// A download has no limit on its duration, so that a slow link finishes too:
// its watch stops it when no data arrives for the stall limit, or when it grows
// far past its size. This bound only keeps the runner's deadline finite.
inline constexpr Seconds kDownload = std::chrono::hours{24 * 365};
// The runtime's smoke test ("--version").
inline constexpr Seconds kWineVersion{30};
// Each wine call of a verification, which only asks.
inline constexpr Seconds kWineCheck{30};
// Creating or updating the prefix ("wineboot -u").
inline constexpr Seconds kPrefixUpdate{300};
// Every other Windows tool run in the prefix (reg, regsvr32).
inline constexpr Seconds kWineTool = kDefault;
// Ending the runtime's server ("wineserver -k") after a run was stopped; it
// answers at once or not at all.
inline constexpr Seconds kWineServerShutdown{5};
// Between the polite stop request and the forced one.
inline constexpr Seconds kGracePeriod{3};

} // namespace launcher::timeouts
