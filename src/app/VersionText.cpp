#include "app/VersionText.h"

#include "core/Constants.h"

namespace launcher {

std::string versionText()
{
    return "Veyra 2 Mac Launcher " + Constants::builtIn().version;
}

} // namespace launcher
