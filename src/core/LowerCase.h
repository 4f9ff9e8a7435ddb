#pragma once

#include <algorithm>
#include <string>

namespace launcher {

// ASCII lower case. Every name the launcher compares without case is ASCII,
// and no other character lower-cases to an ASCII letter of those names.
inline std::string lowerCase(std::string text)
{
    std::ranges::transform(text, text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    });
    return text;
}

} // namespace launcher
