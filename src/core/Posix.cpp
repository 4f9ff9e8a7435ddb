#include "core/Posix.h"

#include <cerrno>
#include <system_error>

#include <unistd.h>

namespace launcher {

void throwFileError(const char* what, const std::filesystem::path& path, int error)
{
    throw std::filesystem::filesystem_error(what, path, std::error_code(error, std::generic_category()));
}

void throwFileError(const char* what, const std::filesystem::path& path)
{
    throwFileError(what, path, errno);
}

FileDescriptor::~FileDescriptor()
{
    close();
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
    if (this != &other) {
        close();
        m_fd = other.release();
    }
    return *this;
}

int FileDescriptor::close()
{
    if (m_fd < 0)
        return 0;
    // The descriptor is gone after close() whatever it reports, EINTR included.
    const int result = ::close(std::exchange(m_fd, -1));
    return result == 0 ? 0 : errno;
}

RemoveUnlessCommitted::~RemoveUnlessCommitted()
{
    if (!m_committed)
        ::unlink(m_file.c_str());
}

std::size_t readSome(int fd, void* buffer, std::size_t size, const std::filesystem::path& path)
{
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            throwFileError("cannot read file", path);
    }
}

void writeAll(int fd, std::string_view bytes, const std::filesystem::path& path)
{
    for (std::size_t written = 0; written < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throwFileError("cannot write file", path);
        written += static_cast<std::size_t>(n);
    }
}

bool existsQuietly(const std::filesystem::path& path) noexcept
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

bool presentQuietly(const std::filesystem::path& path) noexcept
{
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

} // namespace launcher
