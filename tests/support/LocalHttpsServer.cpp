#include "support/LocalHttpsServer.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace launcher::testing {
namespace {

constexpr std::chrono::seconds kStartLimit{30};
constexpr std::chrono::milliseconds kStartPoll{20};

} // namespace

LocalHttpsServer::LocalHttpsServer(const std::filesystem::path& folder, std::uint16_t port,
                                   const std::vector<Redirect>& redirects, const Pace& pace)
{
    const auto log = m_state / "server.log";
    m_output = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (m_output < 0)
        throw std::system_error(errno, std::generic_category(), "Cannot open " + log.string());

    std::vector<std::string> arguments{VEYRA2_HTTPS_SERVER_SCRIPT, folder.string(), m_state.path().string(),
                                       "--port", std::to_string(port)};
    for (const auto& [path, location] : redirects)
        arguments.insert(arguments.end(), {"--redirect", path + "=" + location});
    if (pace.bytesPerSecond)
        arguments.insert(arguments.end(), {"--rate", std::to_string(*pace.bytesPerSecond)});
    for (const auto& [path, bytes] : pace.stalls)
        arguments.insert(arguments.end(), {"--stall", path + "=" + std::to_string(bytes)});
    if (pace.ranges != Pace::Ranges::Honour)
        arguments.insert(arguments.end(), {"--ranges", pace.ranges == Pace::Ranges::Ignore ? "ignore" : "refuse"});
    if (pace.dropFirstHalfway)
        arguments.emplace_back("--drop-first-halfway");

    // The destructor does not run when the constructor throws.
    try {
        m_process = ChildProcess::spawn({VEYRA2_PYTHON, arguments, std::nullopt, std::nullopt, m_output});
        const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
        while (!std::filesystem::exists(m_state / "port")) {
            if (m_process->waitFor(kStartPoll) || std::chrono::steady_clock::now() > deadline)
                throw std::runtime_error("The HTTPS test server did not start:\n" + output());
        }
    } catch (...) {
        stop();
        ::close(m_output);
        throw;
    }
    m_port = static_cast<std::uint16_t>(std::stoi(readFile(m_state / "port")));
}

LocalHttpsServer::~LocalHttpsServer()
{
    stop();
    ::close(m_output);
}

void LocalHttpsServer::stop()
{
    if (!m_process)
        return;
    m_process->signal(SIGTERM);
    m_process->wait();
    m_process.reset();
}

std::string LocalHttpsServer::url(std::string_view path) const
{
    return "https://127.0.0.1:" + std::to_string(m_port) + std::string(path);
}

std::map<std::string, std::string> LocalHttpsServer::clientEnvironment() const
{
    return {{"CURL_CA_BUNDLE", caBundle().string()}, {VEYRA2_TEST_DOWNLOAD_ORIGIN_VARIABLE, url("")}};
}

std::string LocalHttpsServer::output() const
{
    return readFile(m_state / "server.log");
}

std::uint64_t LocalHttpsServer::bytesServed() const
{
    std::istringstream lines(output());
    std::uint64_t total = 0;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string word;
        std::string path;
        std::uint64_t bytes = 0;
        if (words >> word >> path >> bytes && word == "served")
            total += bytes;
    }
    return total;
}

} // namespace launcher::testing
