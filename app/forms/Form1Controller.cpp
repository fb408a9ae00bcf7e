// The controller settings: throttle calibration, hardware information,
// the current table position and the cylinder trims.
#include "Form1.h"

void TForm1::SetTP1Click(TObject*) {}
void TForm1::HardwareInfo1Click(TObject*) {}
void TForm1::SetCurrentMap1Click(TObject*) {}
void TForm1::SetFuelTrimValues1Click(TObject*) {}
