#pragma once
// What a front end tells the player about a failure caught at its edge, the
// one catalogue of the player's sentences for both:
//
//   catch (const std::exception& caught) {
//       const FailureMessage message = failureMessage(caught, FrontEnd::window);
//       show(message.sentence, message.details);
//   }
//
// The launcher's own failures (SetupFailure) are their sentence, with the
// front end's way on where the engine leaves that to each: the command line
// names its options, the window its panels. A file-system failure becomes a
// plain sentence naming what could not be done, where, and the way out,
// keeping the system's own text as details; any other failure, such as a
// system call's, a general sentence with its text as details. Any thread.

#include <exception>
#include <filesystem>
#include <string>

namespace launcher {

struct FailureMessage {
    // One sentence for the player, or two when the second names the way out.
    std::string sentence;
    // The failure's own text, for the details line and the setup log; empty
    // for the launcher's own failures, whose sentence is all there is.
    std::string details;
};

enum class FrontEnd { commandLine, window };

// May look at the disk to name what stands in a path's way.
FailureMessage failureMessage(const std::exception& failure, FrontEnd frontEnd);

// The command line's form of it: the sentence, and the details on a line of their own.
std::string commandLineText(const FailureMessage& message);

// Appends the line to the log file, creating its folder; a failure to do so is
// ignored, since the log is where a failure goes when nothing else can take it.
void appendToLog(const std::filesystem::path& log, const std::string& line) noexcept;

} // namespace launcher
