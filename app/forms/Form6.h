// TForm6, the splash window shown while the program starts.
#pragma once

#include "CheckBox.h"
#include "Form.h"
#include "Image.h"
#include "Label.h"

class TForm6 : public TForm {
    GANTREL_CLASS(TForm6)

    explicit TForm6(TComponent* owner);

    TImage* Image1 = nullptr;
    TLabel* Label1 = nullptr;  // the text of the box below
    TLabel* Label2 = nullptr;  // the version
    TLabel* Label3 = nullptr;  // the credits heading
    TCheckBox* CkDontSplash = nullptr;

    void FormCreate(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);
    static const TFormTable* Table();
};
