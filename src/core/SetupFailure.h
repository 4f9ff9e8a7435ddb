#pragma once

#include <stdexcept>
#include <string>

namespace launcher {

// The launcher's own failure: one complete sentence for the player. what() is
// that sentence, character for character; both front ends show it unchanged.
// Refusals that a front end words differently derive from it.
class SetupFailure : public std::runtime_error {
public:
    explicit SetupFailure(const std::string& message) : std::runtime_error(message) {}

    std::string message() const { return what(); }
};

} // namespace launcher
