#pragma once
// What the launcher uses of the machine it runs on: the operating system's
// tools and two questions about the machine. Host::system() is the real one;
// tests replace single members to stage a machine without touching any pin.

#include "core/Command.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

namespace launcher {

struct Host {
    std::filesystem::path archiveTool;
    std::filesystem::path downloadTool;
    // Exits 0 exactly when this machine can run x86_64 programs.
    Command x86_64Check;
    // Bytes available on the volume holding the folder; nullopt when the volume
    // reports no figure. Throws std::filesystem::filesystem_error.
    std::function<std::optional<std::uintmax_t>(const std::filesystem::path&)> availableSpace;
    // The two moves a restore of the saves makes: swapping two entries of one
    // file system in one step, false when the file system cannot (see
    // platform::exchangePaths), and a plain rename. Tests replace them to stage
    // a file system without the exchange, or a kill between two moves.
    std::function<bool(const std::filesystem::path&, const std::filesystem::path&)> exchangePaths;
    std::function<void(const std::filesystem::path&, const std::filesystem::path&)> renamePath;
    // Writes what a restore copied below the folder through to the storage
    // medium before its journal counts on it (see platform::flushTree).
    std::function<void(const std::filesystem::path&)> flushTree;
    // Takes the mark of a download off an archive whose digest matched its pin,
    // before anything is unpacked from it (see platform::liftQuarantine).
    std::function<void(const std::filesystem::path&)> liftQuarantine;

    static Host system();
};

} // namespace launcher
