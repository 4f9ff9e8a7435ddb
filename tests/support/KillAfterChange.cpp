// Preloaded into a launcher under test (LD_PRELOAD), ends it with SIGKILL right
// after its Nth change to the file system, as a crash or a power loss at that
// moment would. Changes are the successful calls that add, rename or remove an
// entry: mkdir, rename, unlink, rmdir and remove, in each of their forms. They
// are counted from the first rename onto a path that ends in the text of
// VEYRA2_KILL_COUNT_FROM, that rename being the first, up to the removal
// (rmdir, unlink or remove by path) of a path ending in VEYRA2_KILL_COUNT_TO,
// that one being the last; VEYRA2_KILL_AFTER_CHANGE is N. Without them the
// library changes nothing.
//
// Only calls through the dynamic linker are seen: the program's own and those
// of the C++ library, which is what the launcher's file operations are.

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <dlfcn.h>
#include <sys/types.h>

namespace {

std::atomic<bool> g_armed{false};
std::atomic<bool> g_done{false};
std::atomic<long> g_changes{0};

template <typename Function>
Function next(const char* name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

long killAfter()
{
    const char* value = std::getenv("VEYRA2_KILL_AFTER_CHANGE");
    return value != nullptr ? std::atol(value) : 0;
}

bool endsWithVariable(const char* path, const char* variable)
{
    const char* suffix = std::getenv(variable);
    if (suffix == nullptr || *suffix == '\0' || path == nullptr)
        return false;
    const std::size_t length = std::strlen(path);
    const std::size_t suffixLength = std::strlen(suffix);
    return length >= suffixLength && std::strcmp(path + length - suffixLength, suffix) == 0;
}

void armOnRenameTo(const char* target)
{
    if (!g_done && endsWithVariable(target, "VEYRA2_KILL_COUNT_FROM"))
        g_armed = true;
}

// Called after every change with its result; kills on the Nth successful one.
int counted(int result)
{
    if (result == 0 && g_armed && ++g_changes == killAfter())
        ::raise(SIGKILL);
    return result;
}

// The same for the removal of `path`, which may end the counting.
int countedRemoval(int result, const char* path)
{
    counted(result);
    if (result == 0 && g_armed && endsWithVariable(path, "VEYRA2_KILL_COUNT_TO")) {
        g_armed = false;
        g_done = true;
    }
    return result;
}

} // namespace

// noexcept, as the C library declares them for C++.
extern "C" {

int rename(const char* from, const char* to) noexcept
{
    static const auto real = next<int (*)(const char*, const char*)>("rename");
    const int result = real(from, to);
    if (result == 0)
        armOnRenameTo(to);
    return counted(result);
}

int renameat(int fromFolder, const char* from, int toFolder, const char* to) noexcept
{
    static const auto real = next<int (*)(int, const char*, int, const char*)>("renameat");
    const int result = real(fromFolder, from, toFolder, to);
    if (result == 0)
        armOnRenameTo(to);
    return counted(result);
}

int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags) noexcept
{
    static const auto real = next<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
    const int result = real(fromFolder, from, toFolder, to, flags);
    if (result == 0)
        armOnRenameTo(to);
    return counted(result);
}

int mkdir(const char* path, mode_t mode) noexcept
{
    static const auto real = next<int (*)(const char*, mode_t)>("mkdir");
    return counted(real(path, mode));
}

int mkdirat(int folder, const char* path, mode_t mode) noexcept
{
    static const auto real = next<int (*)(int, const char*, mode_t)>("mkdirat");
    return counted(real(folder, path, mode));
}

int unlink(const char* path) noexcept
{
    static const auto real = next<int (*)(const char*)>("unlink");
    return countedRemoval(real(path), path);
}

int unlinkat(int folder, const char* path, int flags) noexcept
{
    static const auto real = next<int (*)(int, const char*, int)>("unlinkat");
    return counted(real(folder, path, flags));
}

int rmdir(const char* path) noexcept
{
    static const auto real = next<int (*)(const char*)>("rmdir");
    return countedRemoval(real(path), path);
}

int remove(const char* path) noexcept
{
    static const auto real = next<int (*)(const char*)>("remove");
    return countedRemoval(real(path), path);
}

} // extern "C"
