#include "cli/TerminalText.h"

#include <gtest/gtest.h>

namespace launcher::cli {
namespace {

TEST(TerminalText, ShowsControlCharactersAndBrokenBytesAsEscapesAndKeepsTheRest)
{
    struct Case {
        std::string text;
        std::string shown;
    };
    const Case cases[] = {
        {"Saves-20261210T141503Z", "Saves-20261210T141503Z"},
        {"Ærøskøbing/Café – ✓", "Ærøskøbing/Café – ✓"},
        {"a\nb\rc\td", "a\\nb\\rc\\td"},
        // An escape sequence that would clear the screen, and one that retitles the window.
        {"\x1b[2J", "\\x1b[2J"},
        {"\x1b]0;title\x07", "\\x1b]0;title\\x07"},
        {std::string("nul\0!", 5), "nul\\x00!"},
        {"\x7f", "\\x7f"},
        // C1 controls: U+009B is a one-character escape sequence start on some terminals.
        {"\xc2\x9b" "31m", "\\u009b31m"},
        // Not UTF-8: a lone continuation byte, a cut sequence, an overlong slash.
        {"\x80", "\\x80"},
        {"\xe2\x9c", "\\xe2\\x9c"},
        {"\xc0\xaf", "\\xc0\\xaf"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(terminalText(c.text), c.shown) << c.shown;
    EXPECT_EQ(terminalLines("record: ok\ngame: \x1b[31mbad\n"), "record: ok\ngame: \\x1b[31mbad\n");
}

} // namespace
} // namespace launcher::cli
