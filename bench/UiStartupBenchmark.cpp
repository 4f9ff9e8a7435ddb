// Times the desktop launcher from its start to its window first shown, and
// measures its resident memory once the window is up, side by side with a
// minimal Qt Widgets program built the same way. Runs on an X display:
//
//   xvfb-run -a -s "-screen 0 1280x800x24" veyra2-ui-startup-benchmark [--runs N]
//
// Each run starts the program with a fresh, empty data folder (so the launcher
// shows its first-start screen), watches the X server for the program's top-level
// window to be mapped, reads the program's resident memory one second later and
// ends the program. The two programs take turns; medians and best times are printed.

#include "BenchmarkSupport.h"
#include "core/ChildProcess.h"
#include "support/ProgramRun.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

namespace fs = std::filesystem;
using launcher::bench::Clock;
using launcher::bench::median;

constexpr int kDefaultRuns = 10;
constexpr auto kWindowDeadline = std::chrono::seconds(30);
constexpr auto kSettle = std::chrono::seconds(1);

struct Sample {
    double milliseconds;
    long residentKiB;
};

// Notices every window mapped as a child of the root window, that is every top-level window.
class MapWatcher final {
public:
    MapWatcher()
        : m_connection(xcb_connect(nullptr, nullptr))
    {
        if (xcb_connection_has_error(m_connection) != 0)
            throw std::runtime_error("cannot connect to the X display; run under xvfb-run");
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_connection);
    }
    ~MapWatcher() { xcb_disconnect(m_connection); }
    MapWatcher(const MapWatcher&) = delete;
    MapWatcher& operator=(const MapWatcher&) = delete;

    // Drops what arrived before a run starts.
    void drain()
    {
        while (std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event{xcb_poll_for_event(m_connection),
                                                                                &std::free})
            ;
    }

    // The moment a top-level window that is not a popup was mapped, or nothing by the deadline.
    std::optional<Clock::time_point> waitForMap(Clock::time_point deadline)
    {
        while (Clock::now() < deadline) {
            while (std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event{
                       xcb_poll_for_event(m_connection), &std::free}) {
                if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
                    continue;
                const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event.get());
                if (map->override_redirect == 0)
                    return Clock::now();
            }
            pollfd wait{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            ::poll(&wait, 1, 10);
        }
        return std::nullopt;
    }

private:
    xcb_connection_t* m_connection;
};

long residentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

Sample measure(MapWatcher& watcher, const fs::path& program)
{
    const fs::path dataFolder = fs::temp_directory_path() / ("veyra2-ui-benchmark-" + std::to_string(::getpid()));
    fs::remove_all(dataFolder);
    fs::create_directories(dataFolder);
    const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);

    watcher.drain();
    const auto start = Clock::now();
    // On the X display rather than offscreen, with a data folder of its own.
    const auto environment =
        launcher::testing::environmentWith({{"QT_QPA_PLATFORM", ""}, {"XDG_DATA_HOME", dataFolder.string()}});
    const auto process = launcher::ChildProcess::spawn({program, {}, environment, {}, quiet});
    const auto shown = watcher.waitForMap(start + kWindowDeadline);
    std::optional<long> memory;
    if (shown) {
        std::this_thread::sleep_for(kSettle);
        memory = residentKiB(process.pid());
    }
    process.signal(SIGTERM);
    if (!process.waitFor(std::chrono::seconds(5)))
        process.signal(SIGKILL);
    process.wait();
    ::close(quiet);
    fs::remove_all(dataFolder);
    if (!shown)
        throw std::runtime_error(program.string() + " showed no window within 30 seconds");
    return {std::chrono::duration<double, std::milli>(*shown - start).count(), *memory};
}

void report(const std::string& name, const std::vector<Sample>& samples)
{
    std::vector<double> times;
    std::vector<long> memory;
    for (const auto& sample : samples) {
        times.push_back(sample.milliseconds);
        memory.push_back(sample.residentKiB);
    }
    std::cout << std::left << std::setw(26) << name << std::right << std::fixed << std::setprecision(1)
              << std::setw(12) << median(times) << std::setw(12) << *std::min_element(times.begin(), times.end())
              << std::setw(14) << median(memory) / 1024.0 << '\n';
}

} // namespace

int main(int argc, char** argv)
{
    int runs = kDefaultRuns;
    for (int index = 1; index < argc; ++index) {
        const std::string argument = argv[index];
        if (argument == "--runs" && index + 1 < argc)
            runs = std::max(1, std::atoi(argv[++index]));
        else {
            std::cerr << "usage: veyra2-ui-startup-benchmark [--runs N]\n";
            return 2;
        }
    }
    try {
        MapWatcher watcher;
        const std::vector<std::pair<std::string, fs::path>> programs{
            {"veyra2-launcher", VEYRA2_LAUNCHER_PROGRAM},
            {"minimal Qt Widgets window", VEYRA2_MINIMAL_QT_PROGRAM},
        };
        std::vector<std::vector<Sample>> samples(programs.size());
        // One unmeasured start each fills the page cache with Qt's libraries and fonts.
        for (const auto& [name, program] : programs)
            measure(watcher, program);
        for (int run = 0; run < runs; ++run)
            for (std::size_t index = 0; index < programs.size(); ++index)
                samples[index].push_back(measure(watcher, programs[index].second));

        std::cout << runs << " starts each, to the window first shown (X map), resident memory 1 s later\n"
                  << std::left << std::setw(26) << "program" << std::right << std::setw(12) << "median ms"
                  << std::setw(12) << "best ms" << std::setw(14) << "median MiB" << '\n';
        for (std::size_t index = 0; index < programs.size(); ++index)
            report(programs[index].first, samples[index]);
        return 0;
    } catch (const std::exception& failure) {
        std::cerr << failure.what() << '\n';
        return 1;
    }
}
