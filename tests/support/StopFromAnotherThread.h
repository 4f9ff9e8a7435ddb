#pragma once

#include "core/StopRequest.h"
#include "core/Timeouts.h"

#include <chrono>
#include <filesystem>
#include <thread>

namespace launcher::testing {

// The longest a stop of a hanging step may take: the grace period, the
// runtime's server shutdown and room for a loaded machine. A stop that waited
// for the step's own time-out would take minutes.
inline constexpr timeouts::Seconds kStopBound =
    timeouts::kGracePeriod + timeouts::kWineServerShutdown + std::chrono::seconds(5);

// Requests the stop from another thread, as the window does, as soon as `file`
// exists (a program under test writes it when it has got where the test wants
// it). The thread ends when the returned object is dropped, whether it made the
// request or not.
std::jthread requestStopOnceFileExists(const StopRequest& stop, const std::filesystem::path& file);

} // namespace launcher::testing
