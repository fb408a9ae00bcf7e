// The dialogs that form resources may name.
#include "Dialogs.h"

void RegisterDialogClasses()
{
    RegisterClasses<TOpenDialog, TSaveDialog, TFontDialog, TPrintDialog>();
}
