#pragma once

#include <string>
#include <string_view>

namespace launcher {

// A fresh random (version 4) UUID in its 36-character upper-case text form.
std::string freshUuid();

// Whether the text has exactly the form freshUuid() gives: 36 characters, upper-case
// hexadecimal digits in groups of 8, 4, 4, 4 and 12 separated by hyphens.
bool isUuid(std::string_view text);

} // namespace launcher
