#include "core/CapturePipe.h"

#include "core/Platform.h"

#include <cerrno>
#include <cmath>
#include <system_error>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace launcher {

CapturePipe::CapturePipe(std::size_t limit) : m_limit(limit)
{
    int ends[2];
    // The program's copy is made by the spawn's dup2, which clears close-on-exec;
    // the launcher's own ends must reach no other program.
    platform::makeCloseOnExecPipe(ends);
    m_read = FileDescriptor(ends[0]);
    m_write = FileDescriptor(ends[1]);
    if (::fcntl(ends[0], F_SETFL, O_NONBLOCK) != 0)
        throw std::system_error(errno, std::generic_category(), "Cannot set up a pipe for a program's output");
}

void CapturePipe::readFor(std::chrono::duration<double> limit)
{
    if (m_ended)
        return;
    pollfd waiting{.fd = m_read.get(), .events = POLLIN, .revents = 0};
    const auto milliseconds = static_cast<int>(std::ceil(std::max(limit.count(), 0.0) * 1000));
    const int ready = ::poll(&waiting, 1, milliseconds);
    if (ready < 0 && errno != EINTR)
        throw std::system_error(errno, std::generic_category(), "Cannot wait for a program's output");
    if (ready > 0)
        readAvailable();
}

void CapturePipe::drain()
{
    if (!m_ended)
        readAvailable();
}

void CapturePipe::readAvailable()
{
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(m_read.get(), chunk, sizeof chunk);
        if (n == 0) {
            m_ended = true;
            return;
        }
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return;
            throw std::system_error(errno, std::generic_category(), "Cannot read a program's output");
        }
        const auto size = static_cast<std::size_t>(n);
        if (m_text.size() + size > m_limit) {
            m_text.append(chunk, m_limit - m_text.size());
            m_overflowed = true;
            return;
        }
        m_text.append(chunk, size);
    }
}

} // namespace launcher
