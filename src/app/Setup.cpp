#include "core/Installer.h"

#include "app/ForeignRoot.h"
#include "app/IncompleteInstallation.h"
#include "app/SelectionCheck.h"
#include "app/SetupSteps.h"
#include "core/InstallLock.h"

#include <vector>

namespace launcher {

void Installer::install(const std::filesystem::path& gameSource, const std::filesystem::path& audio,
                        const std::optional<std::filesystem::path>& cache) const
{
    refuseForeignRoot(layout());
    makeDirectory(root());
    const InstallLock lock(layout().lockFile());

    if (hasRecord())
        throwRefusal(*this, "An installation already exists. Its game files and saves were left untouched.");
    checkSelections(gameSource, audio, cache);
    // Read-only, before anything is fetched: a wrong game is refused at once.
    checkGameSource(gameSource);
    std::vector<std::filesystem::path> selections{gameSource, audio};
    if (cache)
        selections.push_back(*cache);
    beginInstallationWork(*this, selections);

    preflight();
    report("Verifying your audio package");
    const auto codec = prepareCodec(audio);
    installRuntime(cache);
    importGame(gameSource);
    installDirectX();
    configurePrefix(codec);
    recordInstallation(*this);
}

} // namespace launcher
