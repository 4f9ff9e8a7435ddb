#pragma once

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

namespace launcher::testing {

// Makes every opening of one file wait until released, and at most `longest`:
// a fanotify permission mark that nobody answers, so that the kernel holds
// each opening until the mark's descriptor is closed. Reading the file's
// folder or its attributes is not held. Needs Linux and the right to watch the
// file system (root); holding() says whether the hold is in place. A thread
// keeps the bound and is joined by release() and the destructor.
class HeldFileOpening final {
public:
    HeldFileOpening(const std::filesystem::path& file, std::chrono::milliseconds longest);
    ~HeldFileOpening();
    HeldFileOpening(const HeldFileOpening&) = delete;
    HeldFileOpening& operator=(const HeldFileOpening&) = delete;

    bool holding() const;
    // Whether an opening of the file waits now.
    bool waiting() const;
    // Lets every waiting and later opening go on.
    void release();

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_releasing;
    bool m_released = false;
    int m_marks = -1;
    std::thread m_bound;
};

} // namespace launcher::testing
