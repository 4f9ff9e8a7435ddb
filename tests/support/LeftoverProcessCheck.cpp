#include "support/LeftoverProcessCheck.h"

#include "support/ProcessTree.h"
#include "support/TestPlatform.h"

#include <chrono>
#include <string>
#include <thread>

#include <unistd.h>

namespace launcher::testing {
namespace {

using Clock = std::chrono::steady_clock;

// A program in the middle of exiting (a server stopped at the end of a test)
// gets this long before it counts as left behind.
constexpr std::chrono::seconds kSettleTime{2};
constexpr std::chrono::milliseconds kPoll{20};

std::vector<ProcessInfo> runningDescendants()
{
    reapExitedChildren();
    std::vector<ProcessInfo> running;
    for (ProcessInfo& info : descendantsOf(::getpid()))
        if (!info.exited())
            running.push_back(std::move(info));
    return running;
}

std::vector<ProcessInfo> runningDescendantsAfter(std::chrono::seconds settle)
{
    const auto deadline = Clock::now() + settle;
    std::vector<ProcessInfo> running = runningDescendants();
    while (!running.empty() && Clock::now() < deadline) {
        std::this_thread::sleep_for(kPoll);
        running = runningDescendants();
    }
    return running;
}

} // namespace

void LeftoverProcessCheck::OnTestProgramStart(const ::testing::UnitTest&)
{
    adoptOrphans();
}

void LeftoverProcessCheck::OnTestEnd(const ::testing::TestInfo&)
{
    const std::vector<ProcessInfo> left = runningDescendantsAfter(kSettleTime);
    if (left.empty())
        return;
    std::string names;
    for (const ProcessInfo& info : left)
        names += "\n  " + std::to_string(info.pid) + ": " + info.commandLine;
    ADD_FAILURE() << "The test left programs running; they are killed now:" << names;
    killDescendants(::getpid());
    runningDescendantsAfter(kSettleTime);
}

} // namespace launcher::testing
