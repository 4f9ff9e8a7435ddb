#pragma once
// The runtime's wine program, root + "Runtime/wswine.bundle/bin/wine". Every run
// goes through the process runner with a fresh compatibility environment; the
// game itself is started elsewhere, without a time-out.

#include <string>
#include <vector>

namespace launcher {

class Installer;

class WineRuntime final {
public:
    // The game's command line after the wine program, run in the game folder.
    static const std::vector<std::string>& gameArguments();

    explicit WineRuntime(const Installer& installer) : m_installer(installer) {}

    // Exits 0 when the runtime starts at all.
    void checkVersion() const;
    // Creates the prefix named by WINEPREFIX, or updates an existing one.
    void updatePrefix() const;
    // Stores a REG_SZ value, replacing an old one.
    void addRegistryValue(const std::string& key, const std::string& name, const std::string& data) const;
    // Registers a 32-bit library with the prefix's regsvr32, silently.
    void registerLibrary(const std::string& regsvr32, const std::string& library) const;
    // What reg query prints for the key.
    std::string queryRegistry(const std::string& key) const;

private:
    void run(const std::vector<std::string>& arguments, double timeout) const;

    const Installer& m_installer;
};

} // namespace launcher
