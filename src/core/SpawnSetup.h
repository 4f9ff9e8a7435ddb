#pragma once
// The attributes and file actions of one posix_spawn call, owned together so
// that every way out destroys both. Shared by ChildProcess and the platform's
// inheritOnlyNamedDescriptors(), which adds what differs between the systems.

#include <spawn.h>

namespace launcher {

class SpawnSetup final {
public:
    // Throws std::system_error when the system cannot describe a start.
    SpawnSetup();
    ~SpawnSetup();
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
};

// Throws std::system_error for a set-up call's nonzero result: a file action
// that silently went missing would start a program with the wrong streams or folder.
void checkSpawnSetup(int error, const char* what);

} // namespace launcher
