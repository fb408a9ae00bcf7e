// TForm8, the O2 setting: three steps from richer (2) to stock (0), OK and
// Cancel. The main window reads the chosen step after OK.
#pragma once

#include "Button.h"
#include "Form.h"
#include "GroupBox.h"
#include "Label.h"

class TForm8 : public TForm {
    GANTREL_CLASS(TForm8)

    explicit TForm8(TComponent* owner);

    TLabel* Label1 = nullptr;  // "Richer", beside step 2
    TLabel* Label2 = nullptr;  // "Stock", beside step 0
    TRadioGroup* RadioGroup1 = nullptr;  // "2", "1", "0"
    TBitBtn* BitBtn1 = nullptr;  // OK, modal result 1
    TBitBtn* BitBtn2 = nullptr;  // Cancel, modal result 2

    void FormCreate(TObject* sender);

    static const TFormTable* Table();
};

extern TForm8* Form8;
