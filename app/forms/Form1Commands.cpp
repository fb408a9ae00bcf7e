// Commands placed on the main window whose work is the controller
// transfers, the compare window, printing, the controller settings and the
// handheld; they wait for those.
#include "Form1.h"

void TForm1::Button3Click(TObject*) {}
void TForm1::Button7Click(TObject*) {}
void TForm1::Button8Click(TObject*) {}
void TForm1::Button9Click(TObject*) {}
void TForm1::Button10Click(TObject*) {}
void TForm1::UploadCurrentFromKey() {}
void TForm1::Print1Click(TObject*) {}
void TForm1::SetTP1Click(TObject*) {}
void TForm1::HardwareInfo1Click(TObject*) {}
void TForm1::SetCurrentMap1Click(TObject*) {}
void TForm1::SetFuelTrimValues1Click(TObject*) {}
void TForm1::N21Click(TObject*) {}
void TForm1::N11Click(TObject*) {}
void TForm1::N01Click(TObject*) {}
void TForm1::O2ButtonClick(TObject*) {}
void TForm1::SlideChange(TObject*) {}
void TForm1::epEfRndBtn2Click(TObject*) {}
void TForm1::SendCurrentMapToHandheld1Click(TObject*) {}
void TForm1::SendMapsToHandheld1Click(TObject*) {}
