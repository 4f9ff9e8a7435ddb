// A program that includes every header of the core library and links that
// library alone: it is built, so core depends on no layer above it, and run, so
// a root can be asked for its status without any of them.

#include "core-headers.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>

int main()
{
    const launcher::Installation installation(std::filesystem::temp_directory_path() / "veyra2-core-alone-absent",
                                              {}, launcher::Host::system(), launcher::Constants{});
    if (installation.hasRecord() || installation.isInstalled()) {
        std::cerr << "An absent root reads as installed.\n";
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
