#pragma once

#include "core/Constants.h"
#include "runtime/DownloadShare.h"

#include <filesystem>
#include <optional>

namespace launcher {

class Installation;

// The runtime archive in the downloads folder once its SHA-256 digest matches
// the asset's pin: the one there already, a copy of the one in `cache`, or a
// download, taken up where an earlier one stopped. The archive's quarantine is
// lifted once it matches, since the pin is the trust decision.
std::filesystem::path obtain(const Installation& installation, const RuntimeAsset& asset,
                             const std::optional<std::filesystem::path>& cache, DownloadShare share = {});

} // namespace launcher
