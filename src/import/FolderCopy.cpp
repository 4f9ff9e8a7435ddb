#include "import/FolderCopy.h"

#include "core/FileCopy.h"
#include "core/Progress.h"
#include "import/TreeWalk.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace launcher {
namespace {

namespace fs = std::filesystem;

using FileCopies = std::vector<std::pair<fs::path, fs::path>>;

// Joins its threads when it goes, whichever way the scope ends. (std::jthread
// would do, but Apple's libc++ before LLVM 20 hides it behind an experimental flag.)
class JoinedThreads final {
public:
    JoinedThreads() = default;
    JoinedThreads(const JoinedThreads&) = delete;
    JoinedThreads& operator=(const JoinedThreads&) = delete;
    ~JoinedThreads()
    {
        for (std::thread& thread : m_threads)
            thread.join();
    }

    template <typename Work>
    void start(Work& work)
    {
        m_threads.emplace_back(work);
    }

private:
    std::vector<std::thread> m_threads;
};

// A copy inside the kernel is bound by one core's memory bandwidth, so a few
// threads copy files side by side, while the calling thread watches them; all
// are joined before this returns, and the first failure (of a copy or of the
// watch) stops the others and is passed on.
void copyFiles(const FileCopies& copies, std::uint64_t total, const CopyWatch& watch)
{
    const unsigned workers = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    CopyTally tally;
    std::atomic<std::size_t> next{0};
    std::mutex guard;
    std::condition_variable ended;
    unsigned running = workers;
    std::exception_ptr failure;
    const auto fail = [&] {
        const std::lock_guard lock(guard);
        if (!failure)
            failure = std::current_exception();
        tally.abandon = true;
    };
    auto work = [&] {
        for (std::size_t i = 0; !tally.abandon && (i = next++) < copies.size();) {
            try {
                copyFile(copies[i].first, copies[i].second, &tally);
            } catch (...) {
                fail();
            }
        }
        const std::lock_guard lock(guard);
        --running;
        ended.notify_all();
    };
    {
        JoinedThreads threads;
        try {
            for (unsigned i = 0; i < workers; ++i)
                threads.start(work);
        } catch (...) {
            // The workers already started end at their next file.
            tally.abandon = true;
            throw;
        }
        std::unique_lock lock(guard);
        while (!ended.wait_for(lock, kProgressInterval, [&] { return running == 0; })) {
            if (!watch || tally.abandon)
                continue;
            lock.unlock();
            try {
                watch(tally.bytes, total);
            } catch (...) {
                fail();
            }
            lock.lock();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
    if (watch)
        watch(tally.bytes, total);
}

} // namespace

void copyFolder(const fs::path& from, const fs::path& to, const CopyWatch& watch)
{
    fs::create_directory(to);
    // Folders are made during the walk, parents first; the files follow once all exist.
    FileCopies copies;
    std::uint64_t total = 0;
    walkTree(from, {.regularOnly = true}, [&](const fs::directory_entry& entry) {
        fs::path target = to / entry.path().lexically_relative(from);
        if (entry.symlink_status().type() == fs::file_type::directory) {
            fs::create_directory(target);
        } else {
            total += entry.file_size();
            copies.emplace_back(entry.path(), std::move(target));
        }
        return true;
    });
    copyFiles(copies, total, watch);
}

} // namespace launcher
