#include "app/CommandLine.h"
#include "app/DesktopStart.h"
#include "app/ProcessEntry.h"

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    launcher::prepareProcess();
    const std::vector<std::string> arguments(argv, argv + argc);
    if (std::find(arguments.begin(), arguments.end(), "--cli") != arguments.end())
        return launcher::runCLI(arguments, std::cout, std::cerr);
    return launcher::startDesktop(argv, std::cerr);
}
