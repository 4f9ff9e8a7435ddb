#include "core/AtomicFile.h"

#include "core/Uuid.h"

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace launcher {
namespace {

[[noreturn]] void fail(const char* what, const std::filesystem::path& file, int error)
{
    throw std::filesystem::filesystem_error(what, file, std::error_code(error, std::generic_category()));
}

} // namespace

void writeFileAtomically(const std::filesystem::path& file, std::string_view bytes)
{
    std::filesystem::path temporary = file;
    temporary += '.';
    temporary += freshUuid();
    temporary += ".tmp";

    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        fail("cannot create file", temporary, errno);

    auto abandon = [&](const char* what, int error) {
        ::close(fd);
        ::unlink(temporary.c_str());
        fail(what, file, error);
    };
    for (std::size_t written = 0; written < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            abandon("cannot write file", errno);
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0)
        abandon("cannot flush file", errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        fail("cannot close file", file, error);
    }
    if (::rename(temporary.c_str(), file.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        fail("cannot replace file", file, error);
    }
}

} // namespace launcher
