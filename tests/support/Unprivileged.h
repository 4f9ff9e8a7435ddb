#pragma once

#include <functional>

namespace launcher::testing {

// For death tests. Gives up root, when the tests run as root, so that file
// permissions bind as they do for a player, then runs `body` and exits: with
// status 0 after printing the message of what it threw, with 1 when it threw nothing.
[[noreturn]] void exitWithFailureOfUnprivileged(const std::function<void()>& body);
// The user the unprivileged body runs as.
unsigned unprivilegedUser();

} // namespace launcher::testing
