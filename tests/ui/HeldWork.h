#pragma once
// Keeps a model's long work going until the test lets it go, so that the
// model's `busy`, `playing` and `maintaining` are reached through its own operations:
//
//   HeldWork held;
//   LauncherSettings settings = settingsFor(root);
//   held.holdSetup(settings);        // setup waits in its x86_64 check
//   held.growDownload(settings, 5'000);   // or downloads at 5 kB/s
//   LauncherModel model(services, std::move(settings));
//   ...; model.install();            // busy until released
//   held.startGame([&] { model.play(); });   // the game runs until released
//   QTRY_VERIFY(held.gameStarted());
//   held.release();                  // all go on; the destructor does the same
//
// A held setup step waits at most kLongestHold and then fails, well inside the
// engine's own time-out for it; so does a held opening of a file. A held game
// waits for the release alone, which the destructor gives before it waits for
// every model's background work.

#include "HeldFileOpening.h"
#include "support/ScopedEnvironmentVariable.h"
#include "support/TemporaryFolder.h"
#include "ui/LauncherModel.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace launcher::testing {

class HeldWork final {
public:
    static constexpr std::chrono::seconds kLongestHold{15};

    HeldWork();
    ~HeldWork();
    HeldWork(const HeldWork&) = delete;
    HeldWork& operator=(const HeldWork&) = delete;

    // Setup waits in its first step, the x86_64 check, before any status line;
    // released, the check passes.
    void holdSetup(LauncherSettings& settings) const;
    // Setup waits while it downloads the runtime, showing that status line;
    // released, the download brings nothing and setup fails.
    void holdDownload(LauncherSettings& settings) const;
    // Setup downloads the runtime at `bytesPerSecond` (the file grows, sparse,
    // without data) until released or kLongestHold has passed; then the download fails.
    void growDownload(LauncherSettings& settings, std::uint64_t bytesPerSecond) const;
    // Every run of the archive tool waits, such as the one that packs the
    // diagnostics archive; released, the tool has made nothing.
    void holdArchiveTool(LauncherSettings& settings) const;
    // Every opening of the file waits, such as the copy that a snapshot of the
    // saves makes of it; false when this system does not allow the hold.
    bool holdOpening(const std::filesystem::path& file);
    bool openingWaits() const;
    // Runs `start`, which starts the game (model.play(), a click on Play), with
    // a stand-in game that runs until released and then exits with `exitStatus`.
    // The launch may go on after `start` has returned.
    void startGame(const std::function<void()>& start, int exitStatus = 0);
    // Whether the stand-in game has started.
    bool gameStarted() const;

    void release();

private:
    TemporaryFolder m_folder;
    std::unique_ptr<HeldFileOpening> m_opening;
    // The held game's settings, which it inherits whenever the launch starts it.
    std::vector<std::unique_ptr<ScopedEnvironmentVariable>> m_gameEnvironment;
};

} // namespace launcher::testing
