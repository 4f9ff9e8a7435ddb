#include "core/WineRuntime.h"

#include "core/Installer.h"

namespace launcher {

const std::vector<std::string>& WineRuntime::gameArguments()
{
    static const std::vector<std::string> arguments{"veyra2.exe", "-windowed", "-hiresfix"};
    return arguments;
}

void WineRuntime::checkVersion() const
{
    run({"--version"}, 30);
}

void WineRuntime::updatePrefix() const
{
    run({"wineboot", "-u"}, 300);
}

void WineRuntime::addRegistryValue(const std::string& key, const std::string& name, const std::string& data) const
{
    run({"reg", "add", key, "/v", name, "/t", "REG_SZ", "/d", data, "/f"}, 900);
}

void WineRuntime::registerLibrary(const std::string& regsvr32, const std::string& library) const
{
    run({regsvr32, "/s", library}, 900);
}

std::string WineRuntime::queryRegistry(const std::string& key) const
{
    return m_installer.run(m_installer.wine(), {"reg", "query", key}, m_installer.environment(), std::nullopt, true, 900);
}

void WineRuntime::run(const std::vector<std::string>& arguments, double timeout) const
{
    m_installer.run(m_installer.wine(), arguments, m_installer.environment(), std::nullopt, false, timeout);
}

} // namespace launcher
