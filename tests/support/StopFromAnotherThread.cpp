#include "support/StopFromAnotherThread.h"

#include <utility>

namespace launcher::testing {

StopRequester::StopRequester(const StopRequest& stop, std::filesystem::path file)
    : m_dropped(std::make_unique<std::atomic<bool>>(false))
{
    m_thread = std::thread([stop, file = std::move(file), &dropped = *m_dropped] {
        while (!std::filesystem::exists(file)) {
            if (dropped)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        stop.request();
    });
}

StopRequester& StopRequester::operator=(StopRequester&& other) noexcept
{
    finish();
    m_dropped = std::move(other.m_dropped);
    m_thread = std::move(other.m_thread);
    return *this;
}

void StopRequester::finish()
{
    if (!m_thread.joinable())
        return;
    *m_dropped = true;
    m_thread.join();
}

StopRequester requestStopOnceFileExists(const StopRequest& stop, const std::filesystem::path& file)
{
    return StopRequester(stop, file);
}

} // namespace launcher::testing
