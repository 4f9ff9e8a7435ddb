#include "core/AtomicFile.h"

#include "core/Platform.h"
#include "core/Posix.h"
#include "core/Uuid.h"

#include <cerrno>

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
    if (!platform::flushToMedium(fd.get()))
        throwFileError("cannot flush file", file);
    if (const int error = fd.close(); error != 0)
        throwFileError("cannot close file", file, error);
    if (::rename(temporary.c_str(), file.c_str()) != 0)
        throwFileError("cannot replace file", file);
    unfinished.commit();

    // The rename is an entry of the folder: flushing the folder keeps a power
    // loss from bringing the old file back after the new one was reported.
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
    const FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // EINVAL: a file system that cannot flush a folder, which then has nothing to flush.
    if (!directory || (!platform::flushToMedium(directory.get()) && errno != EINVAL))
        throwFileError("cannot flush folder", folder);
}

} // namespace launcher
