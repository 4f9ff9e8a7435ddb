#include "core/Installer.h"
#include "core/SetupFailure.h"
namespace launcher {
void Installer::installDirectX() const { throw SetupFailure("DirectX components are not built yet."); }
} // namespace launcher
