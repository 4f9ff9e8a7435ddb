#include "cli/OutputCheck.h"

#include "app/OutputNotWritten.h"

#include <cerrno>

namespace launcher::cli {

void requireWritten(std::ostream& out)
{
    errno = 0;
    out.flush();
    // The stream keeps no reason; the write that failed last left it in errno.
    const int reason = errno;
    if (!out)
        throw OutputNotWritten(reason);
}

} // namespace launcher::cli
