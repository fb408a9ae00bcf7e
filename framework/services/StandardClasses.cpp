// The framework classes that form resources may name, registered by the
// unit of each family.
#include "Menu.h"

void RegisterStdCtrlsClasses();   // label, button, edit, memo, check box, radio button and group
void RegisterExtCtrlsClasses();   // panel, image, timer, image list, actions
void RegisterComCtrlsClasses();   // status bar, progress bar, tab control, track bar
void RegisterGridClasses();       // string grid
void RegisterDialogClasses();     // open, save, font and print dialogs

void RegisterStandardClasses()
{
    RegisterClasses<TMenuItem, TMainMenu, TPopupMenu>();
    RegisterStdCtrlsClasses();
    RegisterExtCtrlsClasses();
    RegisterComCtrlsClasses();
    RegisterGridClasses();
    RegisterDialogClasses();
}
