#pragma once
// The variables that make a program a test runs end with SIGKILL right after
// its Nth change to the file system, counted from a rename onto a path ending
// in `countFrom` up to the removal of one ending in `countTo` (see
// KillAfterChange.cpp); past the last, the program runs to its end. The
// preloaded library exists on Linux only; elsewhere there are none.
//
//   if (const auto kill = testing::killAfterChange(3, "/Runtime-previous", "/Runtime-superseded"))
//       runProgram(program, arguments, {.environment = *kill});

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace launcher::testing {

inline std::optional<std::map<std::string, std::string>> killAfterChange(long change, const std::string& countFrom,
                                                                         const std::string& countTo)
{
#ifdef VEYRA2_KILL_AFTER_CHANGE_LIBRARY
    // A sanitized program wants its runtime loaded first; the library only wraps calls.
    const char* sanitizer = std::getenv("ASAN_OPTIONS");
    return std::map<std::string, std::string>{
        {"LD_PRELOAD", VEYRA2_KILL_AFTER_CHANGE_LIBRARY},
        {"VEYRA2_KILL_AFTER_CHANGE", std::to_string(change)},
        {"VEYRA2_KILL_COUNT_FROM", countFrom},
        {"VEYRA2_KILL_COUNT_TO", countTo},
        {"ASAN_OPTIONS", std::string(sanitizer != nullptr ? sanitizer : "") + ":verify_asan_link_order=0"},
    };
#else
    (void)change;
    (void)countFrom;
    (void)countTo;
    return std::nullopt;
#endif
}

} // namespace launcher::testing
