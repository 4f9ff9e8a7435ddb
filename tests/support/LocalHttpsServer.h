#pragma once
// An HTTPS server on 127.0.0.1 standing in for the download host. It serves a
// folder through https_server.py, with a certificate authority made by openssl
// for this server alone; curl trusts it once CURL_CA_BUNDLE names caBundle().
//
//   LocalHttpsServer server(folder);   // on a free port
//   const ScopedEnvironmentVariable trust("CURL_CA_BUNDLE", server.caBundle().string());
//   asset.url = server.url("/releases/" + asset.name);
//   ...                                // stopped when `server` goes out of scope
//
// A test copy of the program downloads from it when run with clientEnvironment().

#include "core/ChildProcess.h"
#include "support/TemporaryFolder.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace launcher::testing {

class LocalHttpsServer final {
public:
    // A request for `path` (e.g. "/releases/a.tar.xz") is answered with 302 Found and `location`.
    struct Redirect {
        std::string path;
        std::string location;
    };
    // How the bodies are sent, for tests of slow and stalled downloads.
    struct Pace {
        // Every body at about this many bytes per second, in steps of a twentieth of it.
        std::optional<std::uint64_t> bytesPerSecond;
        // A request for `path` gets the first `bytes` of its body, then nothing
        // more while the connection stays open.
        struct Stall {
            std::string path;
            std::uint64_t bytes;
        };
        std::vector<Stall> stalls;
        // How a request for the rest of a file ("Range: bytes=N-") is answered.
        enum class Ranges { Honour, Ignore, Refuse };
        // Honour (left out: zero): 206 with the rest; Ignore: the whole file
        // with 200; Refuse: 416. No member has an initializer of its own, which
        // a default argument of the enclosing class could not use.
        Ranges ranges;
        // The first request for each file gets half the body it asked for, then
        // the connection is cut.
        bool dropFirstHalfway;
    };

    // Starts the server and returns once it listens. Port 0 picks a free port.
    // Throws std::runtime_error with the server's output when it does not start.
    explicit LocalHttpsServer(const std::filesystem::path& folder, std::uint16_t port = 0,
                              const std::vector<Redirect>& redirects = {}, const Pace& pace = {});
    ~LocalHttpsServer();
    LocalHttpsServer(const LocalHttpsServer&) = delete;
    LocalHttpsServer& operator=(const LocalHttpsServer&) = delete;

    // Ends the server and waits for it; later calls do nothing.
    void stop();

    std::uint16_t port() const { return m_port; }
    // "https://127.0.0.1:<port>" followed by `path`, which starts with "/".
    std::string url(std::string_view path) const;
    // The certificate authority that signed the server's certificate.
    std::filesystem::path caBundle() const { return m_state / "ca.pem"; }
    // The variables under which a program built with the fixture pins (the test
    // copy of the program, the engine tests) downloads the archives from this
    // server's "/releases/" and trusts it.
    std::map<std::string, std::string> clientEnvironment() const;
    // What the server printed: one line per request, errors included.
    std::string output() const;
    // The body bytes the server has sent (or set out to send) so far, all requests together.
    std::uint64_t bytesServed() const;

private:
    TemporaryFolder m_state;
    int m_output = -1;
    std::optional<ChildProcess> m_process;
    std::uint16_t m_port = 0;
};

} // namespace launcher::testing
