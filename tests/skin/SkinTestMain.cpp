// The skin library's tests run with the application object in place, as the
// program does; a test fails if it raised an access violation or sent a
// message to a window whose control was gone (FaultWatch.h).
#include "Application.h"
#include "FaultWatch.h"
#include "Framework.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    InitFramework();
    Application->Initialize();
    ::testing::InitGoogleTest(&argc, argv);
    FaultWatch::Watch();
    int result = RUN_ALL_TESTS();
    if (FaultWatch::After("shutting the framework down", DoneFramework)) result = 1;
    return result;
}
