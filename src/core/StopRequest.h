#pragma once
// A request to stop a running setup, made from any thread, noticed by the
// setup at its next look: the program that runs is stopped with its whole
// process group, no further program starts, and the operation ends with
// SetupStopped after its clean-up (staging folders, the lock).
//
//   StopRequest stop;                                  // kept by the front end
//   Installation installation(root, report, host, constants, {.stop = stop});
//   ... on another thread: stop.request();
//
// Copies share one request. request() is a lock-free atomic store, so it may
// also be called from a signal handler.

#include "core/PlayerSentences.h"

#include <atomic>
#include <memory>
#include <stdexcept>
#include <string>

namespace launcher {

// What a stopped operation throws; what() is the sentence for the player,
// setup's unless the operation tells its own.
class SetupStopped final : public std::runtime_error {
public:
    SetupStopped() : SetupStopped(sentences::kSetupStopped) {}
    explicit SetupStopped(const std::string& sentence) : std::runtime_error(sentence) {}
};

class StopRequest final {
public:
    StopRequest() : m_requested(std::make_shared<std::atomic<bool>>(false)) {}

    void request() const noexcept { m_requested->store(true); }
    bool requested() const noexcept { return m_requested->load(); }
    void throwIfRequested() const
    {
        if (requested())
            throw SetupStopped();
    }

    // The flag itself, for a signal handler, which must not touch the shared owner.
    std::atomic<bool>& flag() const noexcept { return *m_requested; }

private:
    static_assert(std::atomic<bool>::is_always_lock_free, "request() must be safe in a signal handler");
    std::shared_ptr<std::atomic<bool>> m_requested;
};

} // namespace launcher
