#pragma once
// Text from outside the launcher (a typed argument, a file or folder name, a
// path in a failure) made safe to print on one line of a terminal: control
// characters, which could end the line or start an escape sequence that moves
// the cursor or retitles the window, are shown as escapes ("\n", "\x1b",
// "\u009b"), and so are bytes that are not UTF-8. Everything else stays as it is.

#include <string>
#include <string_view>

namespace launcher::cli {

std::string terminalText(std::string_view text);

// Each line of the text made safe, the line feeds between them kept.
std::string terminalLines(std::string_view text);

} // namespace launcher::cli
