#include "support/RunningProgram.h"

#include "core/Uuid.h"
#include "support/TemporaryFolder.h"

#include <csignal>
#include <stdexcept>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace launcher::testing {

RunningProgram::RunningProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                               const ProgramOptions& options)
    : m_errFile(std::filesystem::path(VEYRA2_TEST_TEMP_DIR) / ("stderr-" + freshUuid()))
{
    std::filesystem::create_directories(m_errFile.parent_path());
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        throw std::runtime_error("cannot make a pipe");
    ::fcntl(pipeEnds[0], F_SETFD, FD_CLOEXEC);
    ::fcntl(pipeEnds[1], F_SETFD, FD_CLOEXEC);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, m_errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
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
    ::close(pipeEnds[1]);
    m_out = pipeEnds[0];
    if (error != 0) {
        ::close(m_out);
        throw std::runtime_error("cannot start " + program.string());
    }
}

RunningProgram::~RunningProgram()
{
    if (!m_result) {
        ::kill(m_pid, SIGKILL);
        wait();
    }
    ::close(m_out);
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
        const ssize_t n = ::read(m_out, chunk, sizeof chunk);
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

ProgramResult RunningProgram::wait()
{
    if (m_result)
        return *m_result;
    std::string rest = m_buffer;
    char chunk[4096];
    for (ssize_t n; (n = ::read(m_out, chunk, sizeof chunk)) > 0;)
        rest.append(chunk, static_cast<std::size_t>(n));
    m_buffer.clear();
    int raw = 0;
    ::waitpid(m_pid, &raw, 0);
    m_result = ProgramResult{WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw), rest, readFile(m_errFile)};
    return *m_result;
}

} // namespace launcher::testing
