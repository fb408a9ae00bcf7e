// Printing the loaded map.
#include "Form1.h"

void TForm1::Print1Click(TObject*) {}
