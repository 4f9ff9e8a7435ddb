#include "app/CommandLine.h"
#include "app/DesktopStart.h"
#include "app/ProcessEntry.h"

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

int main(int argc, char** argv)
{
    launcher::prepareProcess();
    const std::vector<std::string> arguments(argv, argv + argc);
    if (std::find(arguments.begin(), arguments.end(), "--cli") != arguments.end())
        return launcher::runCLI(arguments, std::cout, std::cerr,
                                {.progressLine = ::isatty(STDERR_FILENO) == 1, .endBy = launcher::endBySignal});
    return launcher::startDesktop(argv, std::cerr);
}
