// The main() of every GoogleTest program of the engine: GoogleTest's own, plus
// the check that no test leaves a program running.
#include "support/LeftoverProcessCheck.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new launcher::testing::LeftoverProcessCheck);
    return RUN_ALL_TESTS();
}
