#include "support/InstallationByHand.h"

#include "core/InstallationRecord.h"
#include "support/TemporaryFolder.h"
#include "support/TestHost.h"

namespace launcher::testing {

void buildInstallationByHand(const std::filesystem::path& root)
{
    namespace fs = std::filesystem;
    const InstallationRecord record{1, "0.1.0", "WS12WineCX24.0.7_7.tar.xz", std::chrono::system_clock::now()};
    writeFile(root / "installed.json", record.encode());
    // Setup creates the lock file before anything else, so every installation has one.
    writeFile(root / "launcher.lock", "");
    writeFile(root / "Install/game/veyra2.exe", "MZ game");
    writeFile(root / "Install/prefix/system.reg", "WINE REGISTRY Version 2\n");
    writeFile(root / "Install/prefix/drive_c/windows/syswow64/wmadmod.dll", "MZ decoder");
    fs::create_directories(root / "Runtime/wswine.bundle/bin");
    fs::create_directories(root / "Logs");
    fs::copy_file(fixture("runtime/standin-wine"), root / "Runtime/wswine.bundle/bin/wine",
                  fs::copy_options::overwrite_existing);
}

} // namespace launcher::testing
