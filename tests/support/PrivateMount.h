#pragma once
// Mounts for tests, in a mount namespace of the calling process's own: the
// mounts end with the process, so a test never leaves one behind however it
// ends. Call it in a death test's child. Linux only; elsewhere every call
// answers why not.
//
//   if (const auto refusal = testing::privateMountRefusal()) GTEST_SKIP() << *refusal;
//   EXPECT_EXIT(({ testing::mountPrivately(MountKind::bind, source, target); ...; std::_Exit(0); }), ...);

#include <filesystem>
#include <optional>
#include <string>

namespace launcher::testing {

enum class MountKind {
    // An empty file system in memory.
    tmpfs,
    // `source`, a folder of the same file system, shown again at the target.
    bind,
};

// Moves the process into a mount namespace of its own (with a user namespace
// where it is not root) and mounts at `target`; throws std::runtime_error
// saying why when the machine does not allow it.
void mountPrivately(MountKind kind, const std::filesystem::path& source, const std::filesystem::path& target);

// Why this machine does not let a test mount, tried in a child process;
// nothing when it does.
std::optional<std::string> privateMountRefusal();

} // namespace launcher::testing
