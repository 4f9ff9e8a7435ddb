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

// Which of the player's selections a refusal is about.
enum class Selection { game, audio };

// A refusal of what the player selected, which choosing other files mends; the
// front ends point the player at that choice.
class SelectionRefused final : public SetupFailure {
public:
    SelectionRefused(Selection selection, const std::string& message) : SetupFailure(message), m_selection(selection) {}

    Selection selection() const { return m_selection; }

private:
    Selection m_selection;
};

// An external program that ended with a non-zero status, for callers that
// treat some of its statuses as a way on rather than a failure.
class ProgramFailure final : public SetupFailure {
public:
    ProgramFailure(const std::string& message, int status) : SetupFailure(message), m_status(status) {}

    int status() const { return m_status; }

private:
    int m_status;
};

} // namespace launcher
