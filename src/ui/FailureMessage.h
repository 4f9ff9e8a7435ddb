#pragma once
// What the window says about a failure caught at its edge:
//
//   catch (const std::exception& caught) {
//       const FailureMessage message = failureMessage(caught);
//       show(message.sentence, message.details);
//   }
//
// The launcher's own failures (SetupFailure) are their sentence, with the
// window's way on where the engine leaves that to each front end. A file-system
// failure becomes a plain sentence naming what could not be done, where, and
// the way out, keeping the system's own text as details; any other failure a
// general sentence with its text as details. Free of Qt; any thread.

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

// May look at the disk to name what stands in a path's way.
FailureMessage failureMessage(const std::exception& failure);

// Appends the line to the log file, creating its folder; a failure to do so is
// ignored, since the log is where a failure goes when nothing else can take it.
void appendToLog(const std::filesystem::path& log, const std::string& line) noexcept;

} // namespace launcher
