#pragma once
// File permissions bind a player, not root. Tests of what a player meets run the
// body in a death test's child that gives up root first, when the tests run as root.
//
//   const fs::path root = testing::playersFolder(folder / "root");
//   EXPECT_EXIT(testing::exitWithFailureOfUnprivileged([&] { ... }),
//               ::testing::ExitedWithCode(0), "the expected message");

#include <filesystem>
#include <functional>

namespace launcher::testing {

// For death tests. Gives up root, when the tests run as root, so that file
// permissions bind as they do for a player, then runs `body` and exits: with
// status 0 after printing the message of what it threw, with 1 when it threw nothing.
[[noreturn]] void exitWithFailureOfUnprivileged(const std::function<void()>& body);
// The user the unprivileged body runs as.
unsigned unprivilegedUser();
// Creates the folder (its parent must exist) and gives it to that user.
std::filesystem::path playersFolder(const std::filesystem::path& folder);
// Gives the folder and everything below it, links themselves, to that user.
void giveTreeToPlayer(const std::filesystem::path& folder);

} // namespace launcher::testing
