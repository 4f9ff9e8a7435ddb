#pragma once

#include "core/StopRequest.h"

#include <filesystem>
#include <thread>

namespace launcher::testing {

// Requests the stop from another thread, as the window does, as soon as `file`
// exists (a program under test writes it when it has got where the test wants
// it). The thread ends when the returned object is dropped, whether it made the
// request or not.
std::jthread requestStopOnceFileExists(const StopRequest& stop, const std::filesystem::path& file);

} // namespace launcher::testing
