#pragma once

#include <string>

namespace launcher {

// A fresh random (version 4) UUID in its 36-character upper-case text form.
std::string freshUuid();

} // namespace launcher
