#include "support/RunningProgram.h"

#include "core/Uuid.h"
#include "support/ProcessTree.h"
#include "support/TemporaryFolder.h"

#include <csignal>
#include <cstdlib>
#include <stdexcept>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace launcher::testing {
namespace {

// A pipe whose ends reach no other program than the one they are given to.
void makePipe(int ends[2])
{
    if (::pipe(ends) != 0)
        throw std::runtime_error("cannot make a pipe");
    ::fcntl(ends[0], F_SETFD, FD_CLOEXEC);
    ::fcntl(ends[1], F_SETFD, FD_CLOEXEC);
}

// The controlling side of a new pseudo-terminal, and the open terminal side.
std::pair<int, int> openTerminal()
{
    const int controller = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (controller < 0 || ::grantpt(controller) != 0 || ::unlockpt(controller) != 0)
        throw std::runtime_error("cannot open a pseudo-terminal");
    const int terminal = ::open(::ptsname(controller), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal < 0)
        throw std::runtime_error("cannot open the pseudo-terminal's terminal side");
    return {controller, terminal};
}

} // namespace

RunningProgram::RunningProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                               const ProgramOptions& options)
    : m_errFile(std::filesystem::path(VEYRA2_TEST_TEMP_DIR) / ("stderr-" + freshUuid()))
{
    std::filesystem::create_directories(m_errFile.parent_path());
    int pipeEnds[2] = {-1, -1};
    if (options.output != StandardOutput::Closed)
        makePipe(pipeEnds);
    int terminalSide = -1;
    if (options.errorOnTerminal)
        std::tie(m_terminal, terminalSide) = openTerminal();

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (options.output == StandardOutput::Closed)
        posix_spawn_file_actions_addclose(&actions, STDOUT_FILENO);
    else
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    if (options.errorOnTerminal)
        posix_spawn_file_actions_adddup2(&actions, terminalSide, STDERR_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, m_errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
    if (options.directory)
        posix_spawn_file_actions_addchdir_np(&actions, options.directory->c_str());

    std::vector<std::string> argumentTexts{program.string()};
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environmentTexts;
    for (const auto& [name, value] : environmentWith(options.environment))
        environmentTexts.push_back(name + "=" + value);
    std::vector<char*> argv;
    std::vector<char*> envp;
    for (auto& text : argumentTexts)
        argv.push_back(text.data());
    for (auto& text : environmentTexts)
        envp.push_back(text.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    const int error = posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (pipeEnds[1] >= 0)
        ::close(pipeEnds[1]);
    if (terminalSide >= 0)
        ::close(terminalSide);
    m_out = pipeEnds[0];
    if (options.output == StandardOutput::Broken) {
        ::close(m_out);
        m_out = -1;
    }
    if (error != 0) {
        if (m_out >= 0)
            ::close(m_out);
        if (m_terminal >= 0)
            ::close(m_terminal);
        throw std::runtime_error("cannot start " + program.string());
    }
    // A terminal holds little; the program would block on a full one.
    if (m_terminal >= 0) {
        m_terminalReader = std::thread([this] {
            char chunk[4096];
            // Ends with an error (EIO) once the program's side is closed.
            for (ssize_t n; (n = ::read(m_terminal, chunk, sizeof chunk)) > 0;) {
                const std::lock_guard lock(m_terminalGuard);
                m_terminalText.append(chunk, static_cast<std::size_t>(n));
            }
        });
    }
}

RunningProgram::~RunningProgram()
{
    if (!m_result)
        killWithPrograms();
    if (m_out >= 0)
        ::close(m_out);
    if (m_terminal >= 0)
        ::close(m_terminal);
    std::filesystem::remove(m_errFile);
}

std::optional<std::string> RunningProgram::readLine()
{
    for (;;) {
        const auto end = m_buffer.find('\n');
        if (end != std::string::npos) {
            std::string line = m_buffer.substr(0, end);
            m_buffer.erase(0, end + 1);
            return line;
        }
        char chunk[4096];
        const ssize_t n = m_out >= 0 ? ::read(m_out, chunk, sizeof chunk) : 0;
        if (n <= 0)
            return std::nullopt;
        m_buffer.append(chunk, static_cast<std::size_t>(n));
    }
}

void RunningProgram::signal(int number) const
{
    if (!m_result)
        ::kill(m_pid, number);
}

ProgramResult RunningProgram::killWithPrograms()
{
    if (!m_result) {
        // Stopped first, so that it starts nothing more while its programs are gathered.
        ::kill(m_pid, SIGSTOP);
        killDescendants(m_pid);
        ::kill(m_pid, SIGKILL);
    }
    return wait();
}

ProgramResult RunningProgram::wait()
{
    if (m_result)
        return *m_result;
    std::string rest = m_buffer;
    char chunk[4096];
    for (ssize_t n; m_out >= 0 && (n = ::read(m_out, chunk, sizeof chunk)) > 0;)
        rest.append(chunk, static_cast<std::size_t>(n));
    m_buffer.clear();
    int raw = 0;
    ::waitpid(m_pid, &raw, 0);
    m_result = ProgramResult{WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw), rest, standardError()};
    return *m_result;
}

std::string RunningProgram::standardError()
{
    if (m_terminal < 0)
        return readFile(m_errFile);
    m_terminalReader.join();
    const std::lock_guard lock(m_terminalGuard);
    return m_terminalText;
}

} // namespace launcher::testing
