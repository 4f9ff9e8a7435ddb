#include "core/ChildProcess.h"

#include "core/Platform.h"
#include "core/SpawnSetup.h"

#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace launcher {

struct ChildProcess::State {
    std::mutex mutex;
    std::condition_variable exited;
    std::optional<int> status;
    // Set by stop(): the leader's exit then takes its whole group with it.
    bool stopping = false;
};

namespace {

// The status reported when the exit cannot be learned (the child was reaped
// elsewhere): never 0, so a lost status never reads as success.
constexpr int kUnknownStatus = 255;

int terminationStatus(int raw)
{
    if (WIFEXITED(raw))
        return WEXITSTATUS(raw);
    if (WIFSIGNALED(raw))
        return 128 + WTERMSIG(raw);
    return kUnknownStatus;
}

bool hasEnded(const siginfo_t& info)
{
    return info.si_code == CLD_EXITED || info.si_code == CLD_KILLED || info.si_code == CLD_DUMPED;
}

// Waits for the exit without reaping, then reaps under the lock, so that signal()
// never reaches a process identifier that the system has already handed on. The
// wait happens outside the lock, and the reap cannot block: stop() and signal()
// take the lock while the program still runs.
void watch(pid_t pid, const std::shared_ptr<ChildProcess::State>& state)
{
    for (;;) {
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) != 0) {
            if (errno == EINTR)
                continue;
            break; // reaped elsewhere: nothing left to wait for
        }
        if (hasEnded(info))
            break;
        // macOS also answers this wait for a program that was stopped (SIGSTOP,
        // SIGTSTP), and again while it stays stopped; a pause keeps that from spinning.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::lock_guard lock(state->mutex);
    // What a stopped program left running in its group ends now, while the
    // leader's unreaped exit still reserves the group's identifier.
    if (state->stopping)
        ::kill(-pid, SIGKILL);
    int raw = 0;
    pid_t reaped = -1;
    while ((reaped = ::waitpid(pid, &raw, WNOHANG)) < 0 && errno == EINTR) {
    }
    state->status = reaped == pid ? terminationStatus(raw) : kUnknownStatus;
    state->exited.notify_all();
}

std::vector<char*> pointers(std::vector<std::string>& texts)
{
    std::vector<char*> result;
    result.reserve(texts.size() + 1);
    for (auto& text : texts)
        result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

} // namespace

ChildProcess ChildProcess::spawn(const SpawnRequest& request)
{
    SpawnSetup setup;
    // Every stream is named: the program receives these three and no other
    // descriptor (inheritOnlyNamedDescriptors below).
    checkSpawnSetup(::posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0),
                    "Cannot give the program an empty input");
    for (const int stream : {STDOUT_FILENO, STDERR_FILENO}) {
        checkSpawnSetup(request.output >= 0
                            ? ::posix_spawn_file_actions_adddup2(&setup.actions, request.output, stream)
                            : ::posix_spawn_file_actions_addopen(&setup.actions, stream, "/dev/null", O_WRONLY, 0),
                        "Cannot give the program its output file");
    }
    if (request.directory)
        checkSpawnSetup(::posix_spawn_file_actions_addchdir_np(&setup.actions, request.directory->c_str()),
                        "Cannot give the program its working folder");

    // A group of its own: a stop then reaches everything the program started,
    // and a terminal's Ctrl-C reaches the launcher alone, which decides.
    checkSpawnSetup(::posix_spawnattr_setpgroup(&setup.attributes, 0), "Cannot give the program a process group");
    // The child keeps the dispositions the player's shell chose (nohup's ignored
    // SIGHUP). Only what the launcher itself changes is undone: it ignores
    // SIGPIPE, and a front end may block signals.
    sigset_t none;
    sigset_t changedByTheLauncher;
    sigemptyset(&none);
    sigemptyset(&changedByTheLauncher);
    sigaddset(&changedByTheLauncher, SIGPIPE);
    checkSpawnSetup(::posix_spawnattr_setsigmask(&setup.attributes, &none), "Cannot reset the program's signals");
    checkSpawnSetup(::posix_spawnattr_setsigdefault(&setup.attributes, &changedByTheLauncher),
                    "Cannot reset the program's signals");
    checkSpawnSetup(::posix_spawnattr_setflags(&setup.attributes,
                                               POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF),
                    "Cannot set up the program's start");
    platform::inheritOnlyNamedDescriptors(setup);

    std::vector<std::string> argumentTexts{request.executable.string()};
    argumentTexts.insert(argumentTexts.end(), request.arguments.begin(), request.arguments.end());
    std::vector<std::string> environmentTexts;
    if (request.environment)
        for (const auto& [name, value] : *request.environment)
            environmentTexts.push_back(name + "=" + value);
    auto argv = pointers(argumentTexts);
    auto envp = pointers(environmentTexts);

    pid_t pid = -1;
    const int error = ::posix_spawn(&pid, request.executable.c_str(), &setup.actions, &setup.attributes, argv.data(),
                                    request.environment ? envp.data() : environ);
    if (error != 0)
        throw std::system_error(error, std::generic_category(), "Cannot start " + request.executable.string());

    auto state = std::make_shared<State>();
    try {
        std::thread(watch, pid, state).detach();
    } catch (...) {
        // Without a watcher nobody could time the program out or reap it.
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        throw;
    }
    return ChildProcess(pid, std::move(state));
}

std::optional<int> ChildProcess::waitFor(std::chrono::duration<double> timeout) const
{
    std::unique_lock lock(m_state->mutex);
    m_state->exited.wait_for(lock, timeout, [&] { return m_state->status.has_value(); });
    return m_state->status;
}

int ChildProcess::wait() const
{
    std::unique_lock lock(m_state->mutex);
    m_state->exited.wait(lock, [&] { return m_state->status.has_value(); });
    return *m_state->status;
}

void ChildProcess::signal(int number) const
{
    std::lock_guard lock(m_state->mutex);
    if (!m_state->status)
        ::kill(-m_pid, number);
}

int ChildProcess::stop(std::chrono::duration<double> grace) const
{
    {
        std::lock_guard lock(m_state->mutex);
        m_state->stopping = true;
        if (!m_state->status)
            ::kill(-m_pid, SIGTERM);
    }
    if (const std::optional<int> status = waitFor(grace))
        return *status;
    signal(SIGKILL);
    return wait();
}

} // namespace launcher
