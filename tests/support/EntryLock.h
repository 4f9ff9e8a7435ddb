#pragma once
// A lock on a file or folder for the length of a scope, lifted afterwards so
// that the test's temporary folder can go:
//
//   const testing::EntryLock lock(save, testing::LockKind::superuser);
//   if (!lock)
//       GTEST_SKIP() << "...";

#include <filesystem>

namespace launcher::testing {

enum class LockKind {
    // What the entry's owner may set and lift (macOS's uchg, Finder's "Locked").
    owner,
    // What only the superuser may (macOS's schg, Linux's immutable attribute).
    superuser,
};

class EntryLock final {
public:
    EntryLock(std::filesystem::path entry, LockKind kind);
    ~EntryLock();
    EntryLock(const EntryLock&) = delete;
    EntryLock& operator=(const EntryLock&) = delete;

    // Whether the system could lock the entry (see TestPlatform.h).
    explicit operator bool() const { return m_held; }

private:
    std::filesystem::path m_entry;
    bool m_held;
};

} // namespace launcher::testing
