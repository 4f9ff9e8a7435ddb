#include "HeldWork.h"

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
    m_gameEnvironment.clear();
}

void HeldWork::holdSetup(LauncherSettings& settings) const
{
    settings.host.x86_64Check = {m_folder / "wait-for-release", {}};
}

void HeldWork::holdDownload(LauncherSettings& settings) const
{
    settings.host.downloadTool = m_folder / "wait-for-release";
}

void HeldWork::growDownload(LauncherSettings& settings, std::uint64_t bytesPerSecond) const
{
    // Called as curl is, with the partial file after "--output".
    const std::string rate = std::to_string(bytesPerSecond);
    const auto tool = m_folder / ("download-at-" + rate);
    // Started through the interpreter itself: a version manager's shim can
    // take seconds on a busy machine, longer than the fixture takes to grow.
    writeFile(tool, "#!" VEYRA2_PYTHON "\n"
                    "import os, sys, time\n"
                    "output = sys.argv[sys.argv.index('--output') + 1]\n"
                    "start = time.monotonic()\n"
                    "while time.monotonic() - start < " + std::to_string(kLongestHold.count()) + ":\n"
                    "    if os.path.exists('" + (m_folder / "released").string() + "'):\n"
                    "        break\n"
                    "    with open(output, 'ab') as partial:\n"
                    "        partial.truncate(int(" + rate + " * (time.monotonic() - start)))\n"
                    "    time.sleep(0.05)\n"
                    "sys.exit(1)\n");
    std::filesystem::permissions(tool, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
    settings.host.downloadTool = tool;
}

void HeldWork::holdArchiveTool(LauncherSettings& settings) const
{
    settings.host.archiveTool = m_folder / "wait-for-release";
}

bool HeldWork::holdOpening(const std::filesystem::path& file)
{
    m_opening = std::make_unique<HeldFileOpening>(file, kLongestHold);
    return m_opening->holding();
}

bool HeldWork::openingWaits() const
{
    return m_opening && m_opening->waiting();
}

void HeldWork::startGame(const std::function<void()>& start, int exitStatus)
{
    // Set until every launch has ended: play() starts the game off the GUI thread.
    m_gameEnvironment.clear();
    for (const auto& [name, value] : {std::pair{"STANDIN_GAME_UNTIL", (m_folder / "released").string()},
                                      std::pair{"STANDIN_GAME_EXIT", std::to_string(exitStatus)},
                                      std::pair{"STANDIN_RECORD", (m_folder / "calls.jsonl").string()}})
        m_gameEnvironment.push_back(std::make_unique<ScopedEnvironmentVariable>(name, value));
    start();
}

bool HeldWork::gameStarted() const
{
    // The stand-in records each call as it begins.
    std::error_code error;
    return std::filesystem::exists(m_folder / "calls.jsonl", error) &&
           readFile(m_folder / "calls.jsonl").find("veyra2.exe") != std::string::npos;
}

void HeldWork::release()
{
    writeFile(m_folder / "released", "");
    if (m_opening)
        m_opening->release();
}

} // namespace launcher::testing
