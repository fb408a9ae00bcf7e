// Sending maps to the handheld.
#include "Form1.h"

void TForm1::SendCurrentMapToHandheld1Click(TObject*) {}
void TForm1::SendMapsToHandheld1Click(TObject*) {}
