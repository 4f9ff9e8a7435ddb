#pragma once
// The one self-updating progress line of the command line on a terminal: each
// show() redraws it in place, and clear() removes it before anything else is
// written to the terminal (a status line, a failure).

#include "core/Progress.h"

#include <ostream>

namespace launcher::cli {

class ProgressLine final {
public:
    // `terminal` is standard error, and a terminal; without one no line is drawn.
    explicit ProgressLine(std::ostream* terminal) : m_terminal(terminal) {}

    void show(const Progress& progress);
    void clear();

private:
    std::ostream* m_terminal;
    bool m_shown = false;
};

} // namespace launcher::cli
