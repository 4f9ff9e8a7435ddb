#include "app/SelectionCheck.h"

#include "core/RegularFile.h"
#include "core/SetupFailure.h"
#include "import/GameSource.h"

#include <system_error>

namespace launcher {

void checkSelections(const std::filesystem::path& game, const std::filesystem::path& audio,
                     const std::optional<std::filesystem::path>& cache)
{
    resolveGameSource(game);

    // Opened as the audio step opens it, so a missing file fails as it would there;
    // whether it is the tested file is that step's question.
    openIfRegular(audio);

    std::error_code error;
    if (cache && !std::filesystem::is_directory(*cache, error))
        throw SetupFailure("The folder given with --cache does not exist: " + cache->string());
}

} // namespace launcher
