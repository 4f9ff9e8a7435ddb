#include "core/RegularFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

namespace launcher {
namespace {

enum class Refusal { none, notRegular, tooLarge };

// Looks at what the open descriptor is; its size and permissions go into `file`.
Refusal examine(RegularFile& file, std::uintmax_t maxSize, const std::filesystem::path& path)
{
    struct stat info {};
    if (::fstat(file.fd.get(), &info) != 0)
        throwFileError("cannot read file attributes", path);
    file.size = static_cast<std::uintmax_t>(info.st_size);
    file.permissions = info.st_mode & 0777;
    if (!S_ISREG(info.st_mode))
        return Refusal::notRegular;
    return file.size > maxSize ? Refusal::tooLarge : Refusal::none;
}

[[noreturn]] void throwRefusal(Refusal refusal, const std::filesystem::path& path)
{
    if (refusal == Refusal::tooLarge)
        throwFileError("file too large", path, EFBIG);
    throwFileError("not a regular file", path, EINVAL);
}

Refusal openForReading(RegularFile& opened, const std::filesystem::path& file, RegularFileRules rules)
{
    // O_NONBLOCK: opening a named pipe for reading would otherwise wait for a writer.
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (rules.followLinks ? 0 : O_NOFOLLOW);
    opened.fd = FileDescriptor(::open(file.c_str(), flags));
    if (!opened.fd)
        throwFileError("cannot open file", file);
    return examine(opened, rules.maxSize, file);
}

} // namespace

std::optional<RegularFile> openIfRegular(const std::filesystem::path& file, RegularFileRules rules)
{
    RegularFile opened;
    if (openForReading(opened, file, rules) != Refusal::none)
        return std::nullopt;
    return opened;
}

RegularFile openRegular(const std::filesystem::path& file, RegularFileRules rules)
{
    RegularFile opened;
    if (const Refusal refusal = openForReading(opened, file, rules); refusal != Refusal::none)
        throwRefusal(refusal, file);
    return opened;
}

std::string readRegular(const std::filesystem::path& file, RegularFileRules rules)
{
    const RegularFile opened = openRegular(file, rules);
    std::string text;
    char chunk[65536];
    // The limit holds for what is read as well: the file may grow meanwhile.
    while (const std::size_t n = readSome(opened.fd.get(), chunk, sizeof chunk, file)) {
        if (n > rules.maxSize - text.size())
            throwRefusal(Refusal::tooLarge, file);
        text.append(chunk, n);
    }
    return text;
}

FileDescriptor openRegularForAppending(const std::filesystem::path& file)
{
    // O_NONBLOCK: opening a named pipe for writing would otherwise wait for a reader.
    RegularFile opened{FileDescriptor(
        ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0644))};
    if (!opened.fd)
        throwFileError("cannot open file for appending", file);
    if (const Refusal refusal = examine(opened, std::numeric_limits<std::uintmax_t>::max(), file);
        refusal != Refusal::none)
        throwRefusal(refusal, file);
    // The programs that write to it expect ordinary, blocking output.
    const int flags = ::fcntl(opened.fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(opened.fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        throwFileError("cannot open file for appending", file);
    return std::move(opened.fd);
}

} // namespace launcher
