#include "support/StopFromAnotherThread.h"

#include <chrono>

namespace launcher::testing {

std::jthread requestStopOnceFileExists(const StopRequest& stop, const std::filesystem::path& file)
{
    return std::jthread([stop, file](std::stop_token dropped) {
        while (!std::filesystem::exists(file)) {
            if (dropped.stop_requested())
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        stop.request();
    });
}

} // namespace launcher::testing
