#include "cli/ProgressLine.h"

namespace launcher::cli {
namespace {

// Back to the start of the line, and erase to its end.
constexpr const char* kReturn = "\r";
constexpr const char* kEraseToEnd = "\x1b[K";

} // namespace

void ProgressLine::show(const Progress& progress)
{
    if (m_terminal == nullptr)
        return;
    *m_terminal << kReturn << progressText(progress) << kEraseToEnd << std::flush;
    m_shown = true;
}

void ProgressLine::clear()
{
    if (!m_shown)
        return;
    *m_terminal << kReturn << kEraseToEnd << std::flush;
    m_shown = false;
}

} // namespace launcher::cli
