#include "app/CommandLine.h"
#include "app/Desktop.h"

#include <algorithm>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // A parent that ignores SIGCHLD would have the kernel reap every program the
    // launcher starts, and their exit statuses would be lost.
    std::signal(SIGCHLD, SIG_DFL);

    const std::vector<std::string> arguments(argv, argv + argc);
    if (std::find(arguments.begin(), arguments.end(), "--cli") != arguments.end())
        return launcher::runCLI(arguments, std::cout, std::cerr);
    return launcher::runDesktop(argc, argv);
}
