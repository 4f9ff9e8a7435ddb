#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace launcher {

// One character of UTF-8 text and the bytes it takes.
struct Utf8Character {
    char32_t code = 0;
    std::size_t length = 0;
};

// The character that starts at `at`, or nothing where the bytes there are not
// well-formed UTF-8 (overlong forms, surrogates, above U+10FFFF, cut short).
std::optional<Utf8Character> decodeUtf8(std::string_view text, std::size_t at);

// Whether the bytes are well-formed UTF-8. JSON and the window take only such text.
bool isValidUtf8(std::string_view text);

} // namespace launcher
