// The application's tests run the main window in this process, on the
// framework as the program starts it.
#include "Application.h"
#include "Framework.h"
#include "EmiStringGrid.h"
#include "Exceptions.h"
#include "FaultWatch.h"
#include "Form9.h"
#include "Form10.h"
#include "Form11.h"
#include "Form12.h"
#include "Form13.h"
#include "Form14.h"
#include "Form8.h"
#include "GantOpenDialog.h"
#include "EffectClasses.h"
#include "ResizerPanel.h"
#include "SkinClasses.h"

#include <gtest/gtest.h>

// An exception that escapes an event handler is a failure of the test that
// caused it, not a message box that would wait for a click.
static void FailOnCallbackException(const std::exception& e)
{
    ADD_FAILURE() << "exception in a callback: " << e.what();
}

int main(int argc, char** argv)
{
    InitFramework();
    RegisterGridControlClasses();
    RegisterResizerClasses();
    RegisterEffectClasses();
    RegisterSkinClasses();
    RegisterOpenDialogClasses();
    Application->Initialize();
    Application->SetTitle("Gantrel Control Center");
    Form8 = NewForm<TForm8>(Application);
    Form9 = NewForm<TForm9>(Application);
    Form10 = NewForm<TForm10>(Application);
    Form11 = NewForm<TForm11>(Application);
    Form12 = NewForm<TForm12>(Application);
    Form13 = NewForm<TForm13>(Application);
    Form14 = NewForm<TForm14>(Application);
    SetCallbackExceptionHandler(FailOnCallbackException);
    ::testing::InitGoogleTest(&argc, argv);
    FaultWatch::Watch();
    int result = RUN_ALL_TESTS();
    if (FaultWatch::After("shutting the framework down", DoneFramework)) result = 1;
    return result;
}
