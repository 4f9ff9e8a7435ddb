#pragma once
// The few POSIX building blocks the launcher writes by hand everywhere else:
// an owning file descriptor, the thrower that turns errno into the file
// system's error with the path, a scoped "remove unless committed", and a
// quiet existence test.
//
//   FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
//   if (!file)
//       throwFileError("cannot open file", path);
//   RemoveUnlessCommitted partial(target);   // removed on every way out ...
//   partial.commit();                         // ... but this one

#include <cstddef>
#include <filesystem>
#include <string_view>
#include <utility>

namespace launcher {

// Throws std::filesystem::filesystem_error for `path` with the given errno value.
[[noreturn]] void throwFileError(const char* what, const std::filesystem::path& path, int error);
// The same with the current errno.
[[noreturn]] void throwFileError(const char* what, const std::filesystem::path& path);

// Owns one open file descriptor and closes it when dropped; a negative value owns nothing.
class FileDescriptor final {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    // Gives up ownership without closing.
    int release() { return std::exchange(m_fd, -1); }
    // Closes now, for callers that must learn whether closing worked (written
    // data can still fail here); returns the errno value, or 0.
    int close();

private:
    int m_fd = -1;
};

// Removes the file (not a folder) when dropped, unless commit() was called;
// a failure to remove is ignored. For results that count only once finished.
class RemoveUnlessCommitted final {
public:
    explicit RemoveUnlessCommitted(std::filesystem::path file) : m_file(std::move(file)) {}
    ~RemoveUnlessCommitted();
    RemoveUnlessCommitted(const RemoveUnlessCommitted&) = delete;
    RemoveUnlessCommitted& operator=(const RemoveUnlessCommitted&) = delete;

    const std::filesystem::path& path() const { return m_file; }
    void commit() { m_committed = true; }

private:
    std::filesystem::path m_file;
    bool m_committed = false;
};

// Reads up to `size` bytes, retrying when a signal interrupts; 0 at the end of
// the file. A read error is thrown as the file system's error for `path`.
std::size_t readSome(int fd, void* buffer, std::size_t size, const std::filesystem::path& path);

// Writes all of `bytes`, retrying when a signal interrupts. A write error is
// thrown as the file system's error for `path`.
void writeAll(int fd, std::string_view bytes, const std::filesystem::path& path);

// Whether something exists at the path, links followed; anything that cannot
// even be examined counts as absent.
bool existsQuietly(const std::filesystem::path& path) noexcept;

// Whether an entry of any kind, a link too, stands at the path; a link is not
// followed, and anything that cannot even be examined counts as absent.
bool presentQuietly(const std::filesystem::path& path) noexcept;

} // namespace launcher
