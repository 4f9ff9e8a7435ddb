#include "support/TestHost.h"

namespace launcher::testing {

std::filesystem::path fixture(const std::string& relative)
{
    return std::filesystem::path(VEYRA2_FIXTURES_DIR) / relative;
}

std::filesystem::path launcherProgram()
{
    return VEYRA2_LAUNCHER_PROGRAM;
}

std::filesystem::path fixtureProgram()
{
    return VEYRA2_FIXTURE_PROGRAM;
}

Host testHost()
{
    Host host = Host::system();
    host.x86_64Check = {"/usr/bin/true", {}};
    host.availableSpace = [](const std::filesystem::path&) { return std::optional<std::uintmax_t>(100'000'000'000); };
    return host;
}

} // namespace launcher::testing
