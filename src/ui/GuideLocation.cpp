#include "ui/GuideLocation.h"

#include <QCoreApplication>

#include <array>
#include <system_error>

namespace launcher {

std::optional<std::filesystem::path> bundledGuide()
{
    const std::filesystem::path program = QCoreApplication::applicationDirPath().toStdString();
    // VEYRA2_GUIDE_FROM_PROGRAM: the installed data folder, relative to the installed program.
    const std::array candidates{
        program / "../Resources",
        program / VEYRA2_GUIDE_FROM_PROGRAM,
        program,
    };
    for (const auto& folder : candidates) {
        const auto guide = (folder / "Setup Guide.html").lexically_normal();
        std::error_code error;
        if (std::filesystem::is_regular_file(guide, error))
            return guide;
    }
    return std::nullopt;
}

} // namespace launcher
