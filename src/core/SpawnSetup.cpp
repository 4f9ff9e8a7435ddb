#include "core/SpawnSetup.h"

#include <system_error>

namespace launcher {

SpawnSetup::SpawnSetup()
{
    checkSpawnSetup(::posix_spawn_file_actions_init(&actions), "Cannot describe the program's start");
    if (const int error = ::posix_spawnattr_init(&attributes); error != 0) {
        ::posix_spawn_file_actions_destroy(&actions);
        checkSpawnSetup(error, "Cannot describe the program's start");
    }
}

SpawnSetup::~SpawnSetup()
{
    ::posix_spawn_file_actions_destroy(&actions);
    ::posix_spawnattr_destroy(&attributes);
}

void checkSpawnSetup(int error, const char* what)
{
    if (error != 0)
        throw std::system_error(error, std::generic_category(), what);
}

} // namespace launcher
