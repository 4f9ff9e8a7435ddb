#pragma once

#include <string_view>

namespace launcher {

// Whether the bytes are well-formed UTF-8: no overlong forms, no surrogates,
// nothing above U+10FFFF. JSON and the window take only such text.
bool isValidUtf8(std::string_view text);

} // namespace launcher
