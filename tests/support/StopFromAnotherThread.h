#pragma once

#include "core/StopRequest.h"
#include "core/Timeouts.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

namespace launcher::testing {

// The longest a stop of a hanging step may take: the grace period, the
// runtime's server shutdown and room for a loaded machine. A stop that waited
// for the step's own time-out would take minutes.
inline constexpr timeouts::Seconds kStopBound =
    timeouts::kGracePeriod + timeouts::kWineServerShutdown + std::chrono::seconds(5);

// A thread that requests a stop later; dropping it ends the thread, whether it
// made the request or not.
class StopRequester final {
public:
    StopRequester() = default;
    StopRequester(const StopRequest& stop, std::filesystem::path file);
    StopRequester(StopRequester&&) noexcept = default;
    StopRequester& operator=(StopRequester&& other) noexcept;
    ~StopRequester() { finish(); }

private:
    void finish();

    std::unique_ptr<std::atomic<bool>> m_dropped;
    std::thread m_thread;
};

// Requests the stop from another thread, as the window does, as soon as `file`
// exists (a program under test writes it when it has got where the test wants it).
StopRequester requestStopOnceFileExists(const StopRequest& stop, const std::filesystem::path& file);

} // namespace launcher::testing
