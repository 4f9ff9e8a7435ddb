#include "HeldWork.h"

#include "support/ScopedEnvironmentVariable.h"

#include <string>

namespace launcher::testing {
namespace {

// How often a held step looks for the release; matches the script's "sleep 0.02".
constexpr std::chrono::milliseconds kPoll{20};

} // namespace

HeldWork::HeldWork()
{
    const auto script = m_folder / "wait-for-release";
    const auto polls = std::chrono::milliseconds(kLongestHold) / kPoll;
    writeFile(script, "#!/bin/sh\n"
                      "for _ in $(seq " + std::to_string(polls) + "); do\n"
                      "    [ -e '" + (m_folder / "released").string() + "' ] && exit 0\n"
                      "    sleep 0.02\n"
                      "done\n"
                      "exit 1\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
}

HeldWork::~HeldWork()
{
    release();
    LauncherModel::waitForBackgroundWork();
}

void HeldWork::holdSetup(LauncherSettings& settings) const
{
    settings.host.x86_64Check = {m_folder / "wait-for-release", {}};
}

void HeldWork::holdDownload(LauncherSettings& settings) const
{
    settings.host.downloadTool = m_folder / "wait-for-release";
}

void HeldWork::startGame(const std::function<void()>& start, int exitStatus) const
{
    // The game inherits them when it is started, which play() does before it returns.
    const ScopedEnvironmentVariable until("STANDIN_GAME_UNTIL", (m_folder / "released").string());
    const ScopedEnvironmentVariable exit("STANDIN_GAME_EXIT", std::to_string(exitStatus));
    start();
}

void HeldWork::release()
{
    writeFile(m_folder / "released", "");
}

} // namespace launcher::testing
