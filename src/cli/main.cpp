#include "cli/CommandLine.h"
#include "cli/DesktopStart.h"
#include "cli/EndBySignal.h"
#include "core/ProcessPreparation.h"

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

// The launcher's entry: the command line with "--cli", otherwise the desktop
// program beside it. It never links or loads Qt.
int main(int argc, char** argv)
{
    launcher::prepareProcess();
    const std::vector<std::string> arguments(argv, argv + argc);
    if (std::find(arguments.begin(), arguments.end(), "--cli") != arguments.end())
        return launcher::cli::runCLI(arguments, std::cout, std::cerr,
                                     {.progressLine = ::isatty(STDERR_FILENO) == 1,
                                      .endBy = launcher::cli::endBySignal});
    return launcher::cli::startDesktop(argv, std::cerr);
}
