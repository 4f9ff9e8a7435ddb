#include "app/FailureMessage.h"

#include "app/ForeignRoot.h"
#include "app/OutputNotWritten.h"
#include "app/RepairRefusal.h"
#include "core/IncompleteInstallation.h"
#include "core/Platform.h"
#include "core/SetupFailure.h"
#include "saves/LockedEntry.h"
#include "saves/UnknownSnapshot.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fstream>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

namespace launcher {
namespace {

namespace fs = std::filesystem;

// What the failed operation was meant to do, told by words of its description:
// the engine's own ("cannot read folder") and those of the standard libraries
// ("cannot create directories", libc++'s "in create_directories").
struct Action {
    std::vector<std::string_view> words;
    std::string_view phrase;
};

const Action kActions[]{
    {{"create director"}, "create the folder"},
    {{"iterator", "read folder", "read director", "open director"}, "read the folder"},
    {{"copy"}, "copy"},
    {{"rename"}, "move"},
    {{"remove"}, "remove"},
    {{"create file"}, "create the file"},
    {{"permission"}, "change the permissions of"},
    {{"space"}, "check the free space of"},
    {{"write", "flush", "close", "replace"}, "write"},
    {{"open"}, "open"},
    {{"read"}, "read"},
    {{"status", "attributes"}, "look at"},
};

// Why, and what the player can do about it.
struct Reason {
    std::vector<int> codes;
    std::string_view reason;
    std::string_view wayOut;
};

// What the player does about an entry in the way.
constexpr std::string_view kMoveAside = "Move it aside, then retry.";

const Reason kReasons[]{
    {{EEXIST}, "a file of that name is in the way", kMoveAside},
    {{EISDIR}, "a folder of that name is in the way", kMoveAside},
    {{EACCES, EPERM}, "permission denied", "Give your user account access to it, then retry."},
    {{ENOSPC, EDQUOT}, "the disk is full", "Free some space, then retry."},
    {{EROFS}, "the disk is read-only", "Make the disk writable, then retry."},
    {{ENOENT}, "it does not exist", "Check that it is still there, then retry."},
    {{ENAMETOOLONG}, "the path is too long", "Use a shorter path, then retry."},
    {{EBUSY, ETXTBSY}, "it is in use", "Close what uses it, then retry."},
    {{EIO}, "the disk reported an error", "Check the disk, then retry."},
};

// The window's Open Logs shows the setup log, where the window writes the
// details; the command line prints them below the sentence.
std::string_view otherWayOut(FrontEnd frontEnd)
{
    return frontEnd == FrontEnd::window ? "Open Logs for details." : "See the details below.";
}

// The description up to the system's reason and the paths, which could hold
// any word, in lower case and with libc++'s underscores as spaces.
std::string operationWords(const fs::filesystem_error& error)
{
    std::string text = error.what();
    for (const std::string& end : {error.code().message(), error.path1().native()})
        if (const auto at = text.find(end); !end.empty() && at != std::string::npos)
            text.resize(at);
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return c == '_' ? ' ' : static_cast<char>(std::tolower(c));
    });
    return text;
}

std::string_view actionPhrase(const fs::filesystem_error& error)
{
    const std::string words = operationWords(error);
    for (const Action& action : kActions)
        for (const std::string_view word : action.words)
            if (words.find(word) != std::string::npos)
                return action.phrase;
    return "use";
}

// "Not a directory" means a file stands where a folder of the path should be:
// the nearest existing part of the path that is not a folder.
std::optional<fs::path> fileInTheWay(const fs::path& path)
{
    for (fs::path part = path; part.has_relative_path(); part = part.parent_path()) {
        std::error_code ignored;
        const fs::file_status status = fs::status(part, ignored);
        if (fs::is_directory(status))
            return std::nullopt;
        if (fs::exists(status))
            return part;
    }
    return std::nullopt;
}

std::string reasonAndWayOut(const std::error_code& code, FrontEnd frontEnd)
{
    for (const Reason& reason : kReasons)
        for (const int value : reason.codes)
            if (code == std::error_condition(value, std::generic_category()))
                return std::string(reason.reason) + ". " + std::string(reason.wayOut);
    std::string message = code.message();
    if (!message.empty())
        message.front() = static_cast<char>(std::tolower(static_cast<unsigned char>(message.front())));
    return message + ". " + std::string(otherWayOut(frontEnd));
}

// What refuses an operation that permissions allow (EPERM), where the player
// can lift it: a lock, or macOS's privacy protection of the folder.
std::optional<std::string> deniedReasonAndWayOut(const fs::path& path)
{
    if (const auto locked = lockInTheWay(path))
        return (*locked == path ? std::string("it is locked. ") : "the folder " + locked->string() + " is locked. ") +
               kUnlockWayOut + ", then retry.";
    if (platform::isPrivacyProtected(path))
        return "macOS did not allow the launcher into that folder. Allow Veyra 2 Mac Launcher in System Settings "
               "› Privacy & Security › Files and Folders, then retry.";
    return std::nullopt;
}

std::string reasonAndWayOut(const fs::filesystem_error& error, FrontEnd frontEnd)
{
    if (error.code() == std::errc::operation_not_permitted && !error.path1().empty()) {
        if (std::optional<std::string> denied = deniedReasonAndWayOut(error.path1()))
            return *denied;
    }
    if (error.code() == std::errc::not_a_directory) {
        const auto file = fileInTheWay(error.path1());
        if (!file || *file == error.path1())
            return "a file of that name is in the way. " + std::string(kMoveAside);
        return "the file " + file->string() + " is in the way. " + std::string(kMoveAside);
    }
    return reasonAndWayOut(error.code(), frontEnd);
}

std::string fileSentence(const fs::filesystem_error& error, FrontEnd frontEnd)
{
    std::string what(actionPhrase(error));
    if (!error.path1().empty())
        what += " " + error.path1().string();
    if (!error.path2().empty())
        what += " to " + error.path2().string();
    return "The launcher could not " + what + ": " + reasonAndWayOut(error, frontEnd);
}

std::string ownSentence(const SetupFailure& failure, FrontEnd frontEnd)
{
    const std::string sentence = failure.what();
    if (dynamic_cast<const ForeignRoot*>(&failure) != nullptr)
        return sentence + (frontEnd == FrontEnd::window ? " Choose an empty or new folder."
                                                        : " Choose an empty or new folder for --home.");
    if (const auto* refusal = dynamic_cast<const RepairRefusal*>(&failure))
        return repairRefusalSentence(refusal->need(), frontEnd);
    if (frontEnd == FrontEnd::window) {
        // The window asks only for snapshots it has just listed; its repair
        // panel tells of an incomplete installation and what repair needs.
        if (dynamic_cast<const UnknownSnapshot*>(&failure) != nullptr)
            return sentence + " It was removed meanwhile: open Restore Saves… again to choose another.";
        return sentence;
    }
    // The sentence stays as it is, so that scripts matching it keep working.
    if (dynamic_cast<const IncompleteInstallation*>(&failure) != nullptr)
        return sentence + " Repair it with --repair.";
    if (dynamic_cast<const UnknownSnapshot*>(&failure) != nullptr)
        return sentence + " See the names with --saves.";
    return sentence;
}

} // namespace

FailureMessage failureMessage(const std::exception& failure, FrontEnd frontEnd)
{
    if (const auto* own = dynamic_cast<const SetupFailure*>(&failure))
        return {ownSentence(*own, frontEnd), {}};
    // The system's own words for the cause; the paths and the operation are in the sentence.
    if (const auto* fileError = dynamic_cast<const fs::filesystem_error*>(&failure))
        return {fileSentence(*fileError, frontEnd), fileError->code().message()};
    if (const auto* output = dynamic_cast<const OutputNotWritten*>(&failure))
        return {"The launcher could not write its output. Check where it goes, then retry.",
                output->reason() != 0 ? std::generic_category().message(output->reason()) : ""};
    return {"The launcher ran into an unexpected problem. " + std::string(otherWayOut(frontEnd)), failure.what()};
}

std::string runtimeUpdateNews(FrontEnd frontEnd)
{
    const std::string news = "A newer compatibility runtime is available.";
    return frontEnd == FrontEnd::window ? news : news + " Update it with --repair.";
}

std::string snapshotFailureNote(const std::string& reason, FrontEnd frontEnd)
{
    const std::string note = "Your saves could not be backed up before this start";
    if (frontEnd == FrontEnd::window)
        return note + ": Open Logs for details.";
    std::string cause = reason;
    while (!cause.empty() && (cause.back() == '.' || cause.back() == '\n'))
        cause.pop_back();
    return note + " (" + cause + "). The game starts anyway; earlier snapshots are unchanged.";
}

void appendToLog(const fs::path& log, const std::string& line) noexcept
{
    try {
        std::error_code ignored;
        fs::create_directories(log.parent_path(), ignored);
        std::ofstream(log, std::ios::app) << line << '\n';
    } catch (...) {
        // Nowhere left to tell.
    }
}

} // namespace launcher
