#include "core/Installer.h"

#include "core/ChildProcess.h"
#include "core/SetupFailure.h"
#include "core/Uuid.h"

#include <cerrno>
#include <csignal>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace launcher {
namespace {

constexpr std::chrono::seconds kGracePeriod{3};

[[noreturn]] void failFile(const char* what, const std::filesystem::path& file, int error)
{
    throw std::filesystem::filesystem_error(what, file, std::error_code(error, std::generic_category()));
}

bool isValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t minimum = 0;
        char32_t code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if ((lead & 0xE0) == 0xC0) {
            length = 2, minimum = 0x80, code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, minimum = 0x800, code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, minimum = 0x10000, code = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

std::string readCapture(const std::filesystem::path& file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        failFile("cannot read captured output", file, errno);
    std::string text;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            failFile("cannot read captured output", file, error);
        }
        if (n == 0)
            break;
        text.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return text;
}

// Closes the output file and removes a capture file on every way out of a run.
class OutputFile final {
public:
    OutputFile(std::filesystem::path path, bool temporary) : m_path(std::move(path)), m_temporary(temporary)
    {
        m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (m_fd < 0)
            failFile("cannot open output file", m_path, errno);
    }
    ~OutputFile()
    {
        ::close(m_fd);
        if (m_temporary) {
            std::error_code ignored;
            std::filesystem::remove(m_path, ignored);
        }
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    int fd() const { return m_fd; }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
    bool m_temporary;
    int m_fd = -1;
};

} // namespace

std::string Installer::run(const std::filesystem::path& executable, const std::vector<std::string>& arguments,
                           const std::optional<Environment>& environment,
                           const std::optional<std::filesystem::path>& directory, bool capture, double timeout) const
{
    const auto logs = log().parent_path();
    makeDirectory(logs);
    const OutputFile output(capture ? logs / ("capture-" + freshUuid() + ".txt") : log(), capture);

    const ChildProcess child = ChildProcess::spawn({executable, arguments, environment, directory, output.fd()});

    std::optional<int> status = child.waitFor(std::chrono::duration<double>(timeout));
    if (!status) {
        child.signal(SIGTERM);
        if (!child.waitFor(kGracePeriod)) {
            child.signal(SIGKILL);
        }
        child.wait();
        throw SetupFailure("A setup step timed out. Retry setup; details are in the setup log.");
    }

    if (::fsync(output.fd()) != 0)
        failFile("cannot flush output file", output.path(), errno);

    std::string captured;
    if (capture) {
        captured = readCapture(output.path());
        if (!isValidUtf8(captured))
            failFile("captured output is not UTF-8 text", output.path(), EILSEQ);
    }

    if (*status != 0) {
        throw SetupFailure(executable.filename().string() + " failed (" + std::to_string(*status)
                           + "). Open the setup log for details. If antivirus quarantined a file, review its report "
                             "before retrying.");
    }
    return captured;
}

} // namespace launcher
