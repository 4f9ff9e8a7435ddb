#pragma once
// The output of a captured run, read from a pipe while the program runs, up to
// a bound: nothing is written to disk, so a full disk can never cut a capture
// short unnoticed, and a program that prints without end cannot fill memory.
//
//   CapturePipe pipe(limit);
//   spawn with output = pipe.writeEnd(); pipe.closeWriteEnd();
//   while running: pipe.readFor(interval);  ... if (pipe.overflowed()) stop it
//   after the exit: pipe.drain(); use pipe.text()

#include "core/Posix.h"

#include <chrono>
#include <cstddef>
#include <string>

namespace launcher {

class CapturePipe final {
public:
    // Throws std::system_error when no pipe can be made.
    explicit CapturePipe(std::size_t limit);

    int writeEnd() const { return m_write.get(); }
    // The program holds its own copy; the launcher's must go, or the end of the
    // output would never be seen.
    void closeWriteEnd() { m_write = FileDescriptor(); }

    // Waits up to `limit` for output and reads what has arrived.
    void readFor(std::chrono::duration<double> limit);
    // Reads what is waiting, without waiting for more.
    void drain();
    // Every writer has closed its end.
    bool ended() const { return m_ended; }
    // More arrived than the bound; what came after it was not kept.
    bool overflowed() const { return m_overflowed; }
    const std::string& text() const { return m_text; }

private:
    // Reads until nothing more is waiting.
    void readAvailable();

    std::size_t m_limit;
    FileDescriptor m_read;
    FileDescriptor m_write;
    std::string m_text;
    bool m_ended = false;
    bool m_overflowed = false;
};

} // namespace launcher
