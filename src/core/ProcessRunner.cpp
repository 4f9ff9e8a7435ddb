#include "core/ProcessRunner.h"

#include "core/Posix.h"
#include "core/RegularFile.h"
#include "core/SetupFailure.h"
#include "core/Uuid.h"

#include <algorithm>
#include <cerrno>

#include <unistd.h>

namespace launcher {
namespace {

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

} // namespace

void ProcessRunner::run(const Command& command, const RunOptions& options) const
{
    std::filesystem::create_directories(m_log.parent_path());
    const FileDescriptor output = openRegularForAppending(m_log);
    runTo(output.get(), m_log, command, options);
}

std::string ProcessRunner::capture(const Command& command, const RunOptions& options) const
{
    std::filesystem::create_directories(m_log.parent_path());
    const RemoveUnlessCommitted file(m_log.parent_path() / ("capture-" + freshUuid() + ".txt"));
    const FileDescriptor output = openRegularForAppending(file.path());
    runTo(output.get(), file.path(), command, options);
    std::string captured = readRegular(file.path(), {.followLinks = false});
    if (!isValidUtf8(captured))
        throwFileError("captured output is not UTF-8 text", file.path(), EILSEQ);
    return captured;
}

void ProcessRunner::runTo(int output, const std::filesystem::path& outputPath, const Command& command,
                          const RunOptions& options) const
{
    const ChildProcess child =
        ChildProcess::spawn({command.executable, command.arguments, options.environment, options.directory, output});

    const auto deadline = std::chrono::steady_clock::now()
        + std::chrono::duration_cast<std::chrono::steady_clock::duration>(options.timeout);
    std::optional<int> status;
    while (!status) {
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) {
            child.stop(timeouts::kGracePeriod);
            throw SetupFailure("A setup step timed out. Retry setup; details are in the setup log.");
        }
        if (!options.watch) {
            status = child.waitFor(left);
            continue;
        }
        status = child.waitFor(std::min<std::chrono::steady_clock::duration>(left, kWatchInterval));
        if (status)
            break;
        try {
            options.watch();
        } catch (...) {
            child.stop(timeouts::kGracePeriod);
            throw;
        }
    }

    if (::fsync(output) != 0)
        throwFileError("cannot flush output file", outputPath);
    if (*status != 0) {
        throw SetupFailure(command.executable.filename().string() + " failed (" + std::to_string(*status)
                           + "). Open the setup log for details. If antivirus quarantined a file, review its report "
                             "before retrying.");
    }
}

} // namespace launcher
