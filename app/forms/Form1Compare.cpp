// The compare command: opens the compare window on the shown table.
#include "Form1.h"

void TForm1::Button3Click(TObject*) {}
