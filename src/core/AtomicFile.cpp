#include "core/AtomicFile.h"

#include "core/Posix.h"
#include "core/Uuid.h"

#include <fcntl.h>
#include <unistd.h>

namespace launcher {

void writeFileAtomically(const std::filesystem::path& file, std::string_view bytes)
{
    std::filesystem::path temporary = file;
    temporary += '.';
    temporary += freshUuid();
    temporary += ".tmp";

    FileDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (!fd)
        throwFileError("cannot create file", temporary);
    RemoveUnlessCommitted unfinished(temporary);

    writeAll(fd.get(), bytes, file);
    if (::fsync(fd.get()) != 0)
        throwFileError("cannot flush file", file);
    if (const int error = fd.close(); error != 0)
        throwFileError("cannot close file", file, error);
    if (::rename(temporary.c_str(), file.c_str()) != 0)
        throwFileError("cannot replace file", file);
    unfinished.commit();
}

} // namespace launcher
