#pragma once
// The window's own sentences, named for what they tell: its status lines, its
// panels' words and why quitting waits. The engine's sentences are in
// core/PlayerSentences.h, the menu's in ui/MenuTexts.cpp. Texts with "%1" take
// QString::arg().

namespace launcher::texts {

// The status line.
inline constexpr const char* kFirstStatus = "Select your files to get started.";
inline constexpr const char* kReadyToSetUpStatus = "Ready to set up.";
inline constexpr const char* kLookingAtGameStatus = "Looking at your game files…";
inline constexpr const char* kReadyStatus = "Your installation is ready.";
inline constexpr const char* kSetupFailedStatus = "Setup needs attention. Your source files are unchanged.";
inline constexpr const char* kStartingStatus = "Veyra 2 is starting. The first launch can take a few minutes.";
inline constexpr const char* kRunningStatus = "Veyra 2 is running.";
// The game starts all the same; the game log tells what kept the snapshot from being taken.
inline constexpr const char* kUnexpectedExit = "Veyra 2 exited unexpectedly. Open Logs for details.";
inline constexpr const char* kCannotOpenFile =
    "The launcher could not open %1. Open it by hand from your file manager.";
inline constexpr const char* kCannotOpenPage = "The launcher could not open %1. Open it by hand in your web browser.";
inline constexpr const char* kStoppingSetupStatus = "Stopping setup. This can take a few seconds.";
inline constexpr const char* kStoppingRepairStatus = "Stopping repair. This can take a few seconds.";
// The engine's own sentence speaks of setup, as the command line's does for both.
inline constexpr const char* kRepairStoppedStatus = "Repair was stopped before it finished. Run it again to continue.";
inline constexpr const char* kCheckingStatus = "Checking your installation…";
inline constexpr const char* kNeedsRepairStatus = "Your installation needs repair.";
inline constexpr const char* kRepairFailedStatus = "Repair needs attention. Your saves are unchanged.";

// The panels that choose the player's files.
inline constexpr const char* kGamePanelMessage =
    "Select vy2pc_data.bin, the installer ZIP, or a complete Project Kestrane game folder.";
inline constexpr const char* kAudioPanelMessage =
    "Select the supported MPSetup.exe package or WMADMOD.DLL from your licensed files. See Setup Guide for "
    "details.";
inline constexpr const char* kSavesLiveApart =
    "Your game and saves live separately from this launcher, so replacing the app keeps your progress.";

// The headline over each panel, and the panels' own words.
inline constexpr const char* kReadyHeadline = "Ready when you are.";
inline constexpr const char* kReadySubheadline =
    "Campaign, familiar controls, and the audio fix—all in your own installation.";
inline constexpr const char* kRepairHeadline = "Almost ready again.";
inline constexpr const char* kRepairSubheadline =
    "Part of your installation is missing or damaged. Repair puts it right without starting over.";
inline constexpr const char* kSetupHeadline = "Your game. Ready for Mac.";
inline constexpr const char* kSetupSubheadline =
    "Bring your Veyra 2 files. We’ll take care of the compatibility setup.";
inline constexpr const char* kRepairPanelDescription =
    "Lists what is missing or damaged and what repair needs to put it right.";
inline constexpr const char* kOnlyDamageRedone = "Only what is damaged is redone.";
inline constexpr const char* kSavesKept = "Your saves are kept.";
inline constexpr const char* kLookingForDamage = "Looking for what is missing or damaged…";
inline constexpr const char* kRepairLooksAgain = "Repair looks at your installation again when it starts.";
inline constexpr const char* kOwnershipConsent =
    "I own Veyra 2 for Windows Vista and have permission to use these files.";
inline constexpr const char* kSetupPanelDescription = "Choose your game files and audio file, then set up.";
inline constexpr const char* kFilesNotIncluded = "Game and Microsoft audio files are not included.";

// Why quitting waits.
inline constexpr const char* kLetSetupFinish = "Let setup finish before quitting the launcher.";
inline constexpr const char* kLetRepairFinish = "Let repair finish before quitting the launcher.";
inline constexpr const char* kQuitTheGameFirst = "Save and quit Veyra 2 before quitting the launcher.";
inline constexpr const char* kLetWorkFinish = "Let it finish before quitting the launcher.";

// The About panel.
inline constexpr const char* kAboutText =
    "An unofficial launcher that runs the Windows game Veyra 2 on a Mac through a Wine runtime. It includes "
    "none of the game's or Microsoft's files: you bring them from your own licensed copies.";

} // namespace launcher::texts
