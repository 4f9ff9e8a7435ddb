#pragma once

#include <filesystem>

namespace launcher::testing {

// Whether the root's install lock can be taken now; takes it and lets it go.
bool lockIsFree(const std::filesystem::path& root);

} // namespace launcher::testing
