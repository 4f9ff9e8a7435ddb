#include "app/CommandLine.h"
#include "app/Desktop.h"

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv, argv + argc);
    if (std::find(arguments.begin(), arguments.end(), "--cli") != arguments.end())
        return launcher::runCLI(arguments, std::cout, std::cerr);
    return launcher::runDesktop(argc, argv);
}
