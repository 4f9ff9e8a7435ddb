#pragma once
// What a front end tells the player about a failure caught at its edge: the
// part of the catalogue of the player's sentences (see core/PlayerSentences.h)
// that gives each front end its way out:
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

#include "app/FrontEnd.h"

#include <exception>
#include <filesystem>
#include <string>

namespace launcher {

struct FailureMessage {
    // One sentence for the player, or two when the second names the way out.
    std::string sentence;
    // The system's own words for the cause ("Not a directory"), for the
    // details line; empty for the launcher's own failures, whose sentence is
    // all there is.
    std::string details;
};

// May look at the disk to name what stands in a path's way.
FailureMessage failureMessage(const std::exception& failure, FrontEnd frontEnd);

// That the installation's runtime is older than the launcher's, with the way
// to update it: the command line names --repair, the window has its button.
std::string runtimeUpdateNews(FrontEnd frontEnd);

// That the snapshot of the saves before a start failed for `reason` (see
// LaunchedGame::snapshotFailure), while the game starts all the same.
std::string snapshotFailureNote(const std::string& reason, FrontEnd frontEnd);

// Appends the line to the log file, creating its folder; a failure to do so is
// ignored, since the log is where a failure goes when nothing else can take it.
void appendToLog(const std::filesystem::path& log, const std::string& line) noexcept;

} // namespace launcher
