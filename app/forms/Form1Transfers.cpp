// Moving tables between the map and the controller: Get Current, Get All,
// Upload Current, Upload All with their read-back, and the O2 setting.
#include "Form1.h"

void TForm1::Button7Click(TObject*) {}
void TForm1::Button10Click(TObject*) {}
void TForm1::Button8Click(TObject*) {}
void TForm1::Button9Click(TObject*) {}
void TForm1::UploadCurrentFromKey() {}
void TForm1::N21Click(TObject*) {}
void TForm1::N11Click(TObject*) {}
void TForm1::N01Click(TObject*) {}
void TForm1::O2ButtonClick(TObject*) {}
void TForm1::SlideChange(TObject*) {}
void TForm1::epEfRndBtn2Click(TObject*) {}
