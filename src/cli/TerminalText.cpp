#include "cli/TerminalText.h"

#include "core/Utf8Text.h"

#include <cstdio>

namespace launcher::cli {
namespace {

std::string escaped(const char* format, unsigned int value)
{
    char text[8];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

std::string terminalText(std::string_view text)
{
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::optional<Utf8Character> character = decodeUtf8(text, at);
        if (!character) {
            shown += escaped("\\x%02x", static_cast<unsigned char>(text[at]));
            ++at;
            continue;
        }
        const char32_t code = character->code;
        if (code == '\n')
            shown += "\\n";
        else if (code == '\r')
            shown += "\\r";
        else if (code == '\t')
            shown += "\\t";
        else if (code < 0x20 || code == 0x7f)
            shown += escaped("\\x%02x", static_cast<unsigned int>(code));
        else if (code >= 0x80 && code < 0xa0)
            shown += escaped("\\u%04x", static_cast<unsigned int>(code));
        else
            shown.append(text.substr(at, character->length));
        at += character->length;
    }
    return shown;
}

std::string terminalLines(std::string_view text)
{
    std::string shown;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        shown += terminalText(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            break;
        shown += '\n';
        start = end + 1;
    }
    return shown;
}

} // namespace launcher::cli
