// The framework's tests run with the application object in place, as the
// program does.
#include "Application.h"
#include "Framework.h"
#include "ResizerPanel.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    InitFramework();
    RegisterResizerClasses();
    Application->Initialize();
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    DoneFramework();
    return result;
}
