#include "import/FolderCopy.h"

#include "core/FileCopy.h"
#include "import/TreeWalk.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace launcher {
namespace {

namespace fs = std::filesystem;

using FileCopies = std::vector<std::pair<fs::path, fs::path>>;

// A copy inside the kernel is bound by one core's memory bandwidth, so a few
// threads copy files side by side; all are joined before this returns, and the
// first failure stops the others and is passed on.
void copyFiles(const FileCopies& copies)
{
    const unsigned workers = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::mutex guard;
    std::exception_ptr failure;
    auto work = [&] {
        for (std::size_t i = 0; !failed && (i = next++) < copies.size();) {
            try {
                copyFile(copies[i].first, copies[i].second);
            } catch (...) {
                const std::lock_guard lock(guard);
                if (!failure)
                    failure = std::current_exception();
                failed = true;
            }
        }
    };
    {
        std::vector<std::jthread> threads;
        for (unsigned i = 1; i < workers; ++i)
            threads.emplace_back(work);
        work();
    }
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace

void copyFolder(const fs::path& from, const fs::path& to)
{
    fs::create_directory(to);
    // Folders are made during the walk, parents first; the files follow once all exist.
    FileCopies copies;
    walkTree(from, {.regularOnly = true}, [&](const fs::directory_entry& entry) {
        fs::path target = to / entry.path().lexically_relative(from);
        if (entry.symlink_status().type() == fs::file_type::directory)
            fs::create_directory(target);
        else
            copies.emplace_back(entry.path(), std::move(target));
        return true;
    });
    copyFiles(copies);
}

} // namespace launcher
