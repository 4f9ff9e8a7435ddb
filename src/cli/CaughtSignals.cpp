#include "cli/CaughtSignals.h"

#include <atomic>
#include <cassert>

namespace launcher::cli {
namespace {

// Only lock-free atomics may be touched by a signal handler.
static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<std::atomic<bool>*>::is_always_lock_free);

std::atomic<int> g_caught{0};
std::atomic<std::atomic<bool>*> g_stop{nullptr};
std::atomic<bool> g_inUse{false};

extern "C" void onSignal(int number)
{
    g_caught.store(number);
    if (std::atomic<bool>* stop = g_stop.load())
        stop->store(true);
}

} // namespace

CaughtSignals::CaughtSignals(std::initializer_list<int> signals, const StopRequest* stop)
{
    [[maybe_unused]] const bool wasInUse = g_inUse.exchange(true);
    assert(!wasInUse && "only one CaughtSignals at a time");
    g_caught = 0;
    g_stop = stop != nullptr ? &stop->flag() : nullptr;

    struct sigaction action {};
    action.sa_handler = onSignal;
    // Interrupted reads, writes and waits carry on; the work notices the stop itself.
    action.sa_flags = SA_RESTART;
    sigfillset(&action.sa_mask);
    for (const int number : signals) {
        struct sigaction previous {};
        if (::sigaction(number, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN)
            continue;
        if (::sigaction(number, &action, nullptr) == 0)
            m_previous.emplace_back(number, previous);
    }
}

CaughtSignals::~CaughtSignals()
{
    for (const auto& [number, previous] : m_previous)
        ::sigaction(number, &previous, nullptr);
    g_stop = nullptr;
    g_inUse = false;
}

int CaughtSignals::take()
{
    return g_caught.exchange(0);
}

} // namespace launcher::cli
