#include "app/Desktop.h"

#include <iostream>

namespace launcher {

// The desktop front end of a build without Qt.
int runDesktop(int, char**)
{
    std::cerr << "The desktop mode is not part of this build. Run it with --cli: --cli --status, --cli --install "
                 "--game PATH --audio PATH, or --cli --launch.\n";
    return 1;
}

} // namespace launcher
