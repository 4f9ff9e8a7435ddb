#include "core/LogRotation.h"

#include "core/EntryFacts.h"
#include "core/Posix.h"

#include <cstdio>

namespace launcher {

void rotateLog(const std::filesystem::path& log)
{
    // Anything but a regular file is refused by the append that follows.
    const std::optional<EntryFacts> facts = entryFacts(log);
    if (!facts || facts->kind != EntryFacts::Kind::file || facts->size <= kLogRotationSize)
        return;
    std::filesystem::path older = log;
    older += ".1";
    if (::rename(log.c_str(), older.c_str()) != 0)
        throwFileError("cannot rotate log", log);
}

} // namespace launcher
