#include "cli/DesktopStart.h"

#include "cli/CommandTable.h"
#include "core/Platform.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

namespace launcher::cli {
namespace {

void listCommands(const std::string& program, std::ostream& err)
{
    for (const CommandRow& command : commandTable())
        err << "  " << program << " " << synopsis(command) << '\n';
}

// Qt's offscreen and other platforms need no display; whoever names one knows.
bool canShowWindow()
{
    const char* qtPlatform = std::getenv("QT_QPA_PLATFORM");
    return platform::hasDisplay() || (qtPlatform != nullptr && *qtPlatform != '\0');
}

} // namespace

int startDesktop(char** argv, std::ostream& err)
{
    const std::string program = argv[0] != nullptr ? argv[0] : "veyra2-launcher";
    if (!canShowWindow()) {
        err << "No display is available for the launcher window. Without one, use the command line:\n";
        listCommands(program, err);
        return 1;
    }

    std::string desktop = platform::programPath().string() + "-desktop";
    std::vector<char*> arguments{desktop.data()};
    for (char** argument = argv + (argv[0] != nullptr ? 1 : 0); *argument != nullptr; ++argument)
        arguments.push_back(*argument);
    arguments.push_back(nullptr);
    ::execv(desktop.c_str(), arguments.data());
    const int error = errno;
    if (error == ENOENT) {
        err << "The desktop mode is not part of this build. Use the command line:\n";
        listCommands(program, err);
    } else {
        err << "Cannot start the launcher window " << desktop << ": " << std::strerror(error) << '\n';
    }
    return 1;
}

} // namespace launcher::cli
