#pragma once
// The harness's guard against programs a test leaves behind: after every test
// it looks for processes still running below the test program (orphans
// included, which the program adopts), fails the test that left them, names
// them, and kills them, so that the next test and the machine start clean.
// Installed by the test programs' main().

#include <gtest/gtest.h>

namespace launcher::testing {

class LeftoverProcessCheck final : public ::testing::EmptyTestEventListener {
public:
    void OnTestProgramStart(const ::testing::UnitTest& unitTest) override;
    void OnTestEnd(const ::testing::TestInfo& test) override;
};

} // namespace launcher::testing
