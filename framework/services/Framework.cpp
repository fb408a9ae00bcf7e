#include "Framework.h"

#include "Application.h"
#include "Clipboard.h"
#include "Printers.h"

void RegisterStandardClasses();  // StandardClasses.cpp

void InitFramework()
{
    InitApplication();
    RegisterStandardClasses();
}

void DoneFramework()
{
    FreePrinter();
    FreeClipboard();
    DoneApplication();
}
