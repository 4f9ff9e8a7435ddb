#pragma once

#include <string>
#include <string_view>

namespace launcher {

// A fresh random (version 4) UUID in its 36-character upper-case text form.
std::string freshUuid();

// Whether the text is a UUID in that form: upper-case hexadecimal digits in
// groups of 8, 4, 4, 4 and 12, joined by hyphens.
bool isUuid(std::string_view text);

} // namespace launcher
