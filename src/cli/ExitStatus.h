#pragma once
// The command line's exit statuses besides a command's own (the game's, under
// --launch) and 128 + a signal's number after a stop.

namespace launcher::cli {

inline constexpr int kSuccess = 0;
// A failure, a refusal, or a command line outside the grammar.
inline constexpr int kFailure = 1;
// --verify: something is damaged.
inline constexpr int kDamaged = 1;
// --verify: nothing could be checked.
inline constexpr int kCouldNotCheck = 2;

} // namespace launcher::cli
