#pragma once
// Every sentence the engine tells the player, named for what happened. Each
// layer throws or writes these, app/FailureMessage adds each front end's way on
// where the two differ (the command line names its options, the window its
// buttons), and the window's own words are in ui/WindowTexts.h and
// ui/MenuTexts.cpp. No other source file spells a sentence for the player: the
// test of the catalogue reads the sources and holds them to it, and keeps each
// sentence here once.

namespace launcher::sentences {

// The lock, a program that runs too long, and a stop.
inline constexpr const char* kLockHeldElsewhere =
    "Another launcher is installing or playing Veyra 2. Close it before continuing.";
inline constexpr const char* kStepTimedOut = "A setup step timed out. Retry setup; details are in the setup log.";
inline constexpr const char* kSetupStopped = "Setup was stopped before it finished. Run it again to continue.";

// This Mac, and the compatibility runtime it downloads.
inline constexpr const char* kNewlineInRootPath = "The installation path contains an unsupported newline.";
inline constexpr const char* kNotEnoughSpace =
    "Setup needs at least 12 GB of available disk space. Free some space and retry.";
inline constexpr const char* kNeedsRosetta =
    "This Mac needs Rosetta before it can run the compatibility engine. Install it in Terminal with "
    "softwareupdate --install-rosetta --agree-to-license, then retry. The setup guide includes instructions.";
inline constexpr const char* kDownloadTooLarge =
    "The download of the compatibility runtime is larger than expected. Try again later.";
inline constexpr const char* kChecksumFailure =
    "The runtime download failed checksum verification. Nothing from that download was run.";
inline constexpr const char* kRuntimeIncomplete =
    "The runtime is incomplete. Check whether antivirus quarantined any files.";

// The game files the player chose.
inline constexpr const char* kGameSelectionGone = "The selected game files are no longer available.";
inline constexpr const char* kNoGameInFolder = "No Veyra 2 game was found in that folder.";
inline constexpr const char* kNoGameInArchive =
    "The archive does not contain Veyra 2. Select vy2pc_data.bin from installer 2.1.";
inline constexpr const char* kSeveralGames =
    "More than one Veyra 2 installation was found. Choose the specific game folder.";
inline constexpr const char* kRootInsideGameFolder =
    "The launcher's folder is inside the selected game folder. Choose the game folder itself, or keep the "
    "launcher's folder elsewhere.";
inline constexpr const char* kUnsafeArchivePaths = "The selected archive contains unsafe file paths.";
inline constexpr const char* kLinksInGameFiles =
    "Game imports must contain regular files and folders, without symbolic links.";

// The audio file, and the decoder it holds.
inline constexpr const char* kUntestedAudioFile =
    "This audio file is not the tested Microsoft WMA 9 decoder/package. Select the supported MPSetup.exe or "
    "WMADMOD.DLL described in the setup guide.";
inline constexpr const char* kCodecVerificationFailed = "Audio codec verification failed.";
inline constexpr const char* kDecoderNotRegistered = "The audio decoder did not register correctly.";

// The saves, and the notes kept with their snapshots.
inline constexpr const char* kRestoreOverIncompleteSetup =
    "Setup is incomplete. Complete setup before restoring saves.";
inline constexpr const char* kRestoreStopped =
    "The restore was stopped before it changed your saves. Restore the snapshot again to continue.";
inline constexpr const char* kRecoveredRestoreNote =
    "Made before finishing a restore that was interrupted; launches never remove it.";

// Setup, play and repair, and what verify finds.
inline constexpr const char* kInstallationExists =
    "An installation already exists. Its game files and saves were left untouched.";
inline constexpr const char* kLaunchOverIncompleteSetup =
    "Setup is incomplete. Complete setup before launching Veyra 2.";
inline constexpr const char* kNothingToRepair = "Nothing to repair: the installation is sound.";
inline constexpr const char* kKeptByUninstallNote =
    "Made by an uninstall that kept the saves; launches never remove it.";
inline constexpr const char* kRecordMissing = "The installation record installed.json is missing.";
inline constexpr const char* kRecordUnreadable = "The installation record installed.json cannot be read.";
inline constexpr const char* kRecordFormatUnknown =
    "The installation record installed.json has a format this launcher does not know.";
inline constexpr const char* kRuntimeProgramMissing =
    "The compatibility runtime is incomplete: its main program is missing or cannot be run.";
inline constexpr const char* kGameFolderMissing = "The game folder Install/game is missing.";
inline constexpr const char* kGameFileListUnreadable =
    "The list of the game's files, Install/game-files.json, cannot be read.";

// Repair's refusals, each with the window's way on and then the command line's.
inline constexpr const char* kNoInstallationToRepair = "There is no installation to repair.";
inline constexpr const char* kSetUpFirst = "Set up Veyra 2 first.";
inline constexpr const char* kSetUpWithInstall = "Set it up with --install.";
inline constexpr const char* kRepairNeedsGame = "Repair must import the game files again.";
inline constexpr const char* kChooseGameThenRepair = "Choose your Veyra 2 game files, then repair.";
inline constexpr const char* kRepairAgainWithGame = "Run --repair again with --game PATH.";
inline constexpr const char* kRepairNeedsAudio = "Repair must install the audio decoder again.";
inline constexpr const char* kChooseAudioThenRepair = "Choose your audio file, then repair.";
inline constexpr const char* kRepairAgainWithAudio = "Run --repair again with --audio PATH.";
inline constexpr const char* kRepairNeedsGameAndAudio =
    "Repair must import the game files and install the audio decoder again.";
inline constexpr const char* kChooseBothThenRepair = "Choose your Veyra 2 game files and your audio file, then repair.";
inline constexpr const char* kRepairAgainWithBoth = "Run --repair again with --game PATH and --audio PATH.";

// Stopped on the command line.
inline constexpr const char* kCheckStopped = "The check was stopped before it finished. Nothing was changed.";
inline constexpr const char* kDiagnosticsStopped =
    "The diagnostics archive was not written: it was stopped before it finished.";

} // namespace launcher::sentences
