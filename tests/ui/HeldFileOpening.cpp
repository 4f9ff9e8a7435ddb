#include "HeldFileOpening.h"

#if defined(__linux__)
#include <fcntl.h>
#include <poll.h>
#include <sys/fanotify.h>
#include <unistd.h>
#endif

namespace launcher::testing {

HeldFileOpening::HeldFileOpening(const std::filesystem::path& file, std::chrono::milliseconds longest)
{
#if defined(__linux__)
    m_marks = ::fanotify_init(FAN_CLOEXEC | FAN_NONBLOCK | FAN_CLASS_CONTENT, O_RDONLY);
    if (m_marks < 0)
        return;
    if (::fanotify_mark(m_marks, FAN_MARK_ADD, FAN_OPEN_PERM, AT_FDCWD, file.c_str()) != 0) {
        ::close(m_marks);
        m_marks = -1;
        return;
    }
    m_bound = std::thread([this, longest] {
        std::unique_lock lock(m_mutex);
        m_releasing.wait_for(lock, longest, [this] { return m_released; });
        // Closing the descriptor lets every held opening go on.
        ::close(m_marks);
        m_marks = -1;
    });
#else
    (void)file;
    (void)longest;
#endif
}

HeldFileOpening::~HeldFileOpening()
{
    release();
}

bool HeldFileOpening::holding() const
{
    const std::lock_guard lock(m_mutex);
    return m_marks >= 0;
}

bool HeldFileOpening::waiting() const
{
#if defined(__linux__)
    const std::lock_guard lock(m_mutex);
    // Each held opening is an event that nobody reads.
    pollfd events{m_marks, POLLIN, 0};
    return m_marks >= 0 && ::poll(&events, 1, 0) > 0;
#else
    return false;
#endif
}

void HeldFileOpening::release()
{
    {
        const std::lock_guard lock(m_mutex);
        m_released = true;
    }
    m_releasing.notify_all();
    if (m_bound.joinable())
        m_bound.join();
}

} // namespace launcher::testing
