#include "core/Installation.h"

#include "core/AbsolutePath.h"
#include "core/CompatibilityEnvironment.h"
#include "core/Platform.h"

#include <utility>

namespace launcher {

Installation::Installation(std::optional<std::filesystem::path> root, Report report, Host host, Constants constants,
                           Supervision supervision)
    // Made absolute once, so that links into the root (the prefix's game link) and
    // the paths handed to programs do not depend on a current folder that may change.
    : m_layout(absoluteNormal(root ? *root : defaultRoot()))
    , m_report(std::move(report))
    , m_host(std::move(host))
    , m_constants(std::move(constants))
    , m_supervision(std::move(supervision))
    , m_runner(m_layout.log(), m_supervision)
{
}

std::filesystem::path Installation::defaultRoot()
{
    return platform::userDataFolder() / "Veyra2MacLauncher";
}

void Installation::report(const std::string& line) const
{
    if (m_report)
        m_report(line);
}

void Installation::progress(const Progress& progress) const
{
    if (m_supervision.progress)
        m_supervision.progress(progress);
}

void Installation::makeDirectory(const std::filesystem::path& folder) const
{
    std::filesystem::create_directories(folder);
}

Environment Installation::environment() const
{
    return compatibilityEnvironment(m_layout);
}

} // namespace launcher
