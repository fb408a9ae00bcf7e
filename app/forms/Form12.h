// TForm12, the current table set of version-2 controllers: a track bar
// over the three positions, OK and Cancel.
#pragma once

#include "Form.h"
#include "Label.h"
#include "SkinSeam.h"

class TForm12 : public TForm {
    GANTREL_CLASS(TForm12)

    explicit TForm12(TComponent* owner);

    TEpTrackBar* EpTrackBar1 = nullptr;  // 0..2
    TLabel* Label1 = nullptr;  // "Use Table Set #1"
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TEpButton* EpButton2 = nullptr;  // OK
    TEpButton* EpButton1 = nullptr;  // Cancel

    static const TFormTable* Table();
};

extern TForm12* Form12;
