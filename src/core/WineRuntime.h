#pragma once
// The runtime's wine program, root + "Runtime/wswine.bundle/bin/wine". Every run
// goes through the process runner with a fresh compatibility environment; the
// game itself is started elsewhere, without a time-out.
//
// Wine's server leaves the process group of the program that started it and
// outlives it by a few seconds, writing the registry into the prefix. So after
// a run was stopped (time-out or stop request) the server is ended at once with
// "wineserver -k", before anything changes the prefix again.

#include "core/Layout.h"
#include "core/Timeouts.h"

#include <string>
#include <vector>

namespace launcher {

class ProcessRunner;
struct ProgramAnswer;
struct RunOptions;

class WineRuntime final {
public:
    // The game's command line after the wine program, run in the game folder.
    static const std::vector<std::string>& gameArguments();

    // `runner` must outlive the runtime object.
    WineRuntime(const ProcessRunner& runner, Layout layout) : m_runner(runner), m_layout(std::move(layout)) {}

    // Exits 0 when the runtime starts at all.
    void checkVersion(timeouts::Seconds timeout = timeouts::kWineVersion) const;
    // The same for checks that only read: what the runtime answered, kept in
    // memory, whether it started or not (see ProcessRunner::ask()).
    ProgramAnswer askVersion(timeouts::Seconds timeout) const;
    // Creates the prefix named by WINEPREFIX, or updates an existing one.
    void updatePrefix() const;
    // Stores a REG_SZ value, replacing an old one.
    void addRegistryValue(const std::string& key, const std::string& name, const std::string& data) const;
    // Registers a 32-bit library with the prefix's regsvr32, silently.
    void registerLibrary(const std::string& regsvr32, const std::string& library) const;
    // What reg query prints for the key.
    std::string queryRegistry(const std::string& key, timeouts::Seconds timeout = timeouts::kWineTool) const;

private:
    void run(std::vector<std::string> arguments, timeouts::Seconds timeout, const char* activity) const;
    RunOptions options(timeouts::Seconds timeout, const char* activity) const;
    void endServer() const;

    const ProcessRunner& m_runner;
    Layout m_layout;
};

} // namespace launcher
