#include "core/ProcessPreparation.h"
#include "ui/Desktop.h"

// The desktop program, which the launcher's entry starts when there is no "--cli".
int main(int argc, char** argv)
{
    launcher::prepareProcess();
    return launcher::runDesktop(argc, argv);
}
