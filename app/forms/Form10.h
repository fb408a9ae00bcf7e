// TForm10, the picture message box of the About command.
#pragma once

#include "Buttons.h"
#include "Form.h"
#include "Image.h"
#include "Label.h"
#include "LeafForms.h"

class TForm10 : public TForm {
    GANTREL_CLASS(TForm10)

    explicit TForm10(TComponent* owner);

    TImage* Image1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TMpMediaButton* MpMediaButton1 = nullptr;
    // The shaped, blended frame.
    TMpMediaForm* MpMediaForm1 = nullptr;

    static const TFormTable* Table();
};

extern TForm10* Form10;
