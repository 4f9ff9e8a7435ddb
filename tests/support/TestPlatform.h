#pragma once
// What the tests ask of the system that differs between macOS and Linux, the
// test support's one platform place: the process table, a process's ignored
// signals, extended attributes and file locks. The build compiles
// TestPlatformMacOS.cpp or TestPlatformLinux.cpp.

#include "support/ProcessTree.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace launcher::testing {

// Every process of the system, exited ones not yet reaped included: from
// /proc on Linux, from sysctl's process table on macOS, where the command line
// is the program's short name.
std::vector<ProcessInfo> listProcesses();

// The process, while it exists (exited but not yet reaped included).
std::optional<ProcessInfo> processInfo(pid_t pid);

// Whether the process ignores the signal, from the kernel's record of it.
bool ignoresSignal(pid_t pid, int signal);

// Makes this process adopt the orphans among its descendants (Linux's child
// subreaper). macOS has no such thing: there an orphan goes to launchd and is
// found only while its parent lives.
void adoptOrphans();

// Gives the file, not following a link, the extended attribute `name` (a
// "user." name, which both systems accept). False when its file system keeps none.
bool setAttribute(const std::filesystem::path& file, const std::string& name, const std::string& value);
bool hasAttribute(const std::filesystem::path& file, const std::string& name);

// Locks the entry as its owner can (macOS's uchg, Finder's "Locked"); false
// where the system has no such lock (Linux).
bool lockAsOwner(const std::filesystem::path& entry);
// Locks the entry as only the superuser can (macOS's schg, Linux's immutable
// attribute); false when this process may not, or the file system cannot.
bool lockAsSuperuser(const std::filesystem::path& entry);
// Lifts every lock this process may lift from the entry.
void unlock(const std::filesystem::path& entry);

} // namespace launcher::testing
