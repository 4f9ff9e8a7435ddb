#pragma once
// Timing helpers of the benchmarks that put the timing shim (TimingShim.cpp) in
// front of external programs to learn the programs' own run times.

#include "BenchmarkSupport.h"

#include <filesystem>
#include <string>
#include <vector>

namespace launcher::bench {

double milliseconds(Clock::duration duration);

// Starts the program and waits for it, without the launcher's runner; ends the
// benchmark when it fails.
void runDirectly(const std::vector<std::string>& command);

// Places the shim at `path`, in front of the program `real`.
void placeShim(const std::filesystem::path& path, const std::filesystem::path& real);

// Puts the shim in place of the program at `program`, which moves to `program` + ".real".
void shimInPlace(const std::filesystem::path& program);

// The run times the shims appended to the log, in milliseconds.
std::vector<double> readShimLog(const std::filesystem::path& log);

// What the shim adds to a program's start, in milliseconds: the median over
// 200 starts of /usr/bin/true, through the shim and directly. `folder` holds the shim.
double shimCostMilliseconds(const std::filesystem::path& folder);

} // namespace launcher::bench
