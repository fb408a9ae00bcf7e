// TForm14, the table position choice of version-2 controllers: three
// positions as radio buttons, OK and Cancel. Each caller sets the captions
// (send to, get from, compare to) before showing it.
#pragma once

#include "Form.h"
#include "SkinSeam.h"

class TForm14 : public TForm {
    GANTREL_CLASS(TForm14)

    explicit TForm14(TComponent* owner);

    TEpRadioButton* EpRadioButton1 = nullptr;
    TEpRadioButton* EpRadioButton2 = nullptr;
    TEpRadioButton* EpRadioButton3 = nullptr;
    TEpButton* EpButton2 = nullptr;  // OK, modal result 1
    TEpButton* EpButton1 = nullptr;  // Cancel, modal result 2

    // Caption and the three radio texts; the first text id of three in a row.
    void Prepare(const std::string& caption, int firstTextId, int languageBase);
    // 0, 1 or 2 for the first checked radio button in order, 0 when none is.
    int ChosenPosition();

    static const TFormTable* Table();
};

extern TForm14* Form14;
