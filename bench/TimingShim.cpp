// Stands in for a program of the setup and times it: runs "<own path>.real" with
// the same arguments, environment and streams, appends the real program's wall
// time in nanoseconds to $TIMING_SHIM_LOG, and exits with its status.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

int main(int, char** argv)
{
    const std::string real = std::string(argv[0]) + ".real";
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    if (posix_spawn(&pid, real.c_str(), nullptr, nullptr, argv, environ) != 0)
        return 127;
    int raw = 0;
    while (waitpid(pid, &raw, 0) < 0) {
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    if (const char* log = std::getenv("TIMING_SHIM_LOG")) {
        if (FILE* out = std::fopen(log, "a")) {
            std::fprintf(out, "%lld\n", static_cast<long long>(std::chrono::nanoseconds(elapsed).count()));
            std::fclose(out);
        }
    }
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}
