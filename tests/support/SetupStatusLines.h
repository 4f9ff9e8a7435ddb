#pragma once

#include <string>
#include <vector>

namespace launcher::testing {

// The status lines of a complete setup, in the order the player sees them.
inline const std::vector<std::string>& setupStatusLines()
{
    static const std::vector<std::string> lines{
        "Verifying your audio package",
        "Downloading and verifying the compatibility runtime · about 341 MB",
        "Unpacking the verified runtime",
        "Importing your Veyra 2 files",
        "Preparing the game's graphics libraries",
        "Creating your private Windows environment",
        "Installing your verified audio decoder",
        "Ready to play",
    };
    return lines;
}

// The lines as a program prints them, each ended by a line feed.
inline std::string printedLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    return text;
}

} // namespace launcher::testing
