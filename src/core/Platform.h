#pragma once
// Everything that differs between macOS and Linux lives behind this header and
// FileCopy.h; the build compiles PlatformMacOS.cpp or PlatformLinux.cpp.

#include "core/Command.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace launcher {
class SpawnSetup;
} // namespace launcher

namespace launcher::platform {

// The operating system's archive tool: macOS's tar, or Debian's bsdtar, the
// same libarchive tool.
std::filesystem::path archiveTool();
std::filesystem::path downloadTool();

// The user's home folder: $HOME when it is an absolute path, else the home folder
// of the account in the user database. Never "/" by default, never relative.
std::filesystem::path homeFolder();

// The name this process's account logs in with; empty when the user database
// has no entry for it.
std::string loginName();

// The folder below which the default root lives: Application Support on macOS,
// $XDG_DATA_HOME (else ~/.local/share) elsewhere.
std::filesystem::path userDataFolder();

// The dynamic loader's library-search variable that points the runtime at its
// own libraries, and the name prefixes of loader variables that must not reach it.
std::string_view librarySearchVariable();
const std::vector<std::string_view>& loaderVariablePrefixes();

// A locale whose character set is UTF-8 and that exists on every system of its
// kind: "C.UTF-8" on Linux, "UTF-8" on macOS (a character-set-only locale there).
std::string_view utf8Locale();

// The program that proves x86_64 code runs here: arch -x86_64 on macOS (fails
// without Rosetta on Apple silicon), setarch x86_64 elsewhere (fails where the
// kernel cannot run x86_64 programs).
Command x86_64Check();

// Whether there is a display to show windows on: always on macOS; on
// Linux when DISPLAY or WAYLAND_DISPLAY names one.
bool hasDisplay();

// Whether a folder walk that skips hidden entries passes over this one: a name
// beginning with a dot, and on macOS also an entry flagged hidden (like ~/Library).
bool isHidden(const std::filesystem::path& entry);

// Space available to the user on the volume holding the folder.
std::optional<std::uintmax_t> availableSpace(const std::filesystem::path& folder);

// The absolute path of the running program's own executable.
std::filesystem::path programPath();

// Swaps two entries of one file system in one step (renameat2 with
// RENAME_EXCHANGE on Linux, renamex_np with RENAME_SWAP on macOS), so that each
// name always names one of the two. False, with nothing changed, when the file
// system cannot; other failures are thrown as the file system's error.
bool exchangePaths(const std::filesystem::path& first, const std::filesystem::path& second);

// Whether the folder `name` of the open folder `parent` (or the path `name`,
// with AT_FDCWD) is a mount point: the root of another file system, or on Linux
// of the same one mounted again (a bind mount). What lies below one is not the
// tree above it. An entry that cannot be examined counts as none.
bool isMountPoint(int parent, const char* name);

// Writes the open file's data and size through to the storage medium; returns
// false with errno set when that fails. macOS's fsync stops at the drive's own
// cache, so there it asks for F_FULLFSYNC, and falls back to fsync on a file
// system that refuses it (SMB, exFAT).
bool flushToMedium(int fd);

// Writes every file and folder below `folder`, and the folder itself, through
// to the storage medium, before a record that counts on them is written:
// syncfs on Linux, one call for the whole file system however many files the
// tree holds; on macOS, which has no such call, fsync of each entry and then
// F_FULLFSYNC once for the drive's own cache. Throws the file system's error.
void flushTree(const std::filesystem::path& folder);

// Removes the extended attribute `name` from the file, not following a link.
// Nothing happens when the file has no such attribute or its file system keeps
// none; other failures are thrown as the file system's error.
void removeAttribute(const std::filesystem::path& file, const char* name);

// Takes the mark of a download off the launcher's own copy of a file whose
// digest matched its pin: on macOS the quarantine attribute that a browser sets,
// which copies of the file and everything an archive tool unpacks from it
// inherit, and with which Gatekeeper would refuse to run the runtime. Linux
// marks no downloads. Throws the file system's error.
void liftQuarantine(const std::filesystem::path& file);

// Lifts the locks that the owner of an entry of the open folder `parent` may
// lift, without following a link: on macOS the user immutable and append-only
// flags (Finder's "Locked"), leaving every other flag as it is, since only the
// superuser may change the system's flags. Returns whether a lock was lifted.
// Linux has no lock an owner sets (chattr +i and +a need privilege): nothing.
bool unlockEntry(int parent, const char* name);

// Whether the entry carries a lock that keeps it from being changed, renamed or
// removed, whoever set it: an immutable or append-only flag (macOS) or
// attribute (Linux). An entry that cannot be examined counts as unlocked.
bool isLocked(const std::filesystem::path& entry);

// Whether the path lies in a folder that macOS guards for the player's privacy
// (Desktop, Documents, Downloads, iCloud Drive, removable and network volumes),
// where a program the player has not allowed is refused with EPERM. None on Linux.
bool isPrivacyProtected(const std::filesystem::path& path);

// Makes a pipe whose ends no program started later inherits: pipe2 with
// O_CLOEXEC on Linux, in one step, so that a program another thread starts
// meanwhile (the desktop opening a folder) cannot inherit them; macOS has no
// pipe2, and the moment between pipe and fcntl is closed for the launcher's own
// programs by inheritOnlyNamedDescriptors(). Throws std::system_error.
void makeCloseOnExecPipe(int ends[2]);

// Makes the program `setup` starts receive only the descriptors its file
// actions name, whatever else the launcher holds open at that moment:
// POSIX_SPAWN_CLOEXEC_DEFAULT on macOS, posix_spawn_file_actions_addclosefrom_np
// from descriptor 3 on Linux. Call it last, after the file actions and the
// other flags. Throws std::system_error.
void inheritOnlyNamedDescriptors(SpawnSetup& setup);

// One line naming the operating system, its version and the processor, for
// reports: "macOS 14.5 (Darwin 23.5.0, x86_64 under Rosetta)".
std::string systemDescription();

} // namespace launcher::platform
