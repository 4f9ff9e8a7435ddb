#include "core/Installation.h"

#include "app/ForeignRoot.h"
#include "app/SelectionCheck.h"
#include "app/SetupSteps.h"
#include "core/IncompleteInstallation.h"
#include "core/InstallLock.h"
#include "core/PlayerSentences.h"
#include "import/DirectXComponents.h"
#include "import/GameImport.h"
#include "import/GameSourceCheck.h"
#include "prefix/AudioCodec.h"
#include "prefix/PrefixConfiguration.h"
#include "runtime/Preflight.h"
#include "runtime/RuntimeInstallation.h"

#include <vector>

namespace launcher {

void install(const Installation& installation, const std::filesystem::path& gameSource,
             const std::filesystem::path& audio, const std::optional<std::filesystem::path>& cache)
{
    refuseForeignRoot(installation.layout());
    installation.makeDirectory(installation.root());
    const InstallLock lock(installation.layout().lockFile());

    if (installation.hasRecord())
        throwRefusal(installation, sentences::kInstallationExists);
    checkSelections(gameSource, audio, cache);
    // Read-only, before anything is fetched: a wrong game is refused at once.
    checkGameSource(installation, gameSource);
    std::vector<std::filesystem::path> selections{gameSource, audio};
    if (cache)
        selections.push_back(*cache);
    beginInstallationWork(installation, selections);

    preflight(installation);
    installation.report("Verifying your audio package");
    const auto codec = prepareCodec(installation, audio);
    installRuntime(installation, cache);
    importGame(installation, gameSource);
    installDirectX(installation);
    configurePrefix(installation, codec);
    recordInstallation(installation);
}

} // namespace launcher
