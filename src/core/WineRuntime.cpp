#include "core/WineRuntime.h"

#include "core/CompatibilityEnvironment.h"
#include "core/ProcessRunner.h"

namespace launcher {

const std::vector<std::string>& WineRuntime::gameArguments()
{
    static const std::vector<std::string> arguments{"veyra2.exe", "-windowed", "-hiresfix"};
    return arguments;
}

void WineRuntime::checkVersion(timeouts::Seconds timeout) const
{
    run({"--version"}, timeout, "Starting the runtime");
}

ProgramAnswer WineRuntime::askVersion(timeouts::Seconds timeout) const
{
    return m_runner.ask({m_layout.wine(), {"--version"}}, options(timeout, "Starting the runtime"));
}

void WineRuntime::updatePrefix() const
{
    run({"wineboot", "-u"}, timeouts::kPrefixUpdate, "Preparing Windows");
}

void WineRuntime::addRegistryValue(const std::string& key, const std::string& name, const std::string& data) const
{
    run({"reg", "add", key, "/v", name, "/t", "REG_SZ", "/d", data, "/f"}, timeouts::kWineTool,
        "Writing Windows settings");
}

void WineRuntime::registerLibrary(const std::string& regsvr32, const std::string& library) const
{
    run({regsvr32, "/s", library}, timeouts::kWineTool, "Registering a library");
}

std::string WineRuntime::queryRegistry(const std::string& key, timeouts::Seconds timeout) const
{
    return m_runner.capture({m_layout.wine(), {"reg", "query", key}}, options(timeout, "Reading Windows settings"));
}

void WineRuntime::run(std::vector<std::string> arguments, timeouts::Seconds timeout, const char* activity) const
{
    m_runner.run({m_layout.wine(), std::move(arguments)}, options(timeout, activity));
}

// The environment is built afresh for every run, from the launcher's own at that moment.
RunOptions WineRuntime::options(timeouts::Seconds timeout, const char* activity) const
{
    return {.environment = compatibilityEnvironment(m_layout),
            .timeout = timeout,
            .activity = activity,
            .afterStop = [this] { endServer(); }};
}

// Failures are ignored: without a server there is nothing to end.
void WineRuntime::endServer() const
{
    m_runner.runCleanUp({m_layout.wineServer(), {"-k"}},
                        {.environment = compatibilityEnvironment(m_layout), .timeout = timeouts::kWineServerShutdown});
}

} // namespace launcher
