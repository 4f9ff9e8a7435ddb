#pragma once
// What a verification of an installation found, and what a repair of it will
// redo and need. verify() (app/Verify.h) fills the report; repair() (app/Repair.h)
// acts on the same findings.
//
//   const VerificationReport report = verify(installation);  // blocks: up to two wine calls
//   std::cout << report.text();                             // "record: ok" ... "downloads: ok"
//   if (report.plan.needsGame()) ...                        // ask for the game files
//   repair(installation, {.game = game, .audio = audio});

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace launcher {

struct VerificationLine {
    // "record", "runtime", "game", "prefix" or "downloads".
    std::string name;
    // Nothing when the part is sound; otherwise one plain sentence naming what is wrong.
    std::optional<std::string> problem;
};

// The steps a repair redoes, as the findings decide them; repair runs them in setup order.
struct RepairPlan {
    // Reinstall the runtime: it is damaged, or the record names an outdated one.
    bool runtime = false;
    // Import the game again, which takes the player's game files.
    bool game = false;
    // Extract the graphics libraries again from the game's own DirectX installer.
    bool directX = false;
    // Configure the prefix again, which takes a verified audio decoder.
    bool prefix = false;
    // The launcher's own copy of the decoder still matches the codec pin, so the
    // prefix can be configured again without the player's audio file.
    bool verifiedDecoderKept = false;
    // Cached runtime archives that fail their pins; repair removes them.
    std::vector<std::filesystem::path> corruptDownloads;

    bool needsGame() const { return game; }
    bool needsAudio() const { return prefix && !verifiedDecoderKept; }
    // The Mac is checked again only before the large writes.
    bool needsPreflight() const { return runtime || game; }
};

struct VerificationReport {
    // "installed.json" exists: there is an installation to repair.
    bool recorded = false;
    // record, runtime, game, prefix, downloads, in this order.
    std::array<VerificationLine, 5> lines;
    RepairPlan plan;
    // One sentence naming the profile folders that are links leading out of the
    // root, whose saves no snapshot holds; no damage, and nothing a repair changes.
    std::optional<std::string> savesOutside;

    // Every line is ok.
    bool sound() const;
    // The five lines as "name: ok" or "name: " and the sentence, each ended by a
    // line feed, and "saves: " and its sentence when saves lie outside.
    std::string text() const;
};

} // namespace launcher
