#include "Form14.h"

#include "SysUtils.h"

TForm14* Form14 = nullptr;

const TFormTable* TForm14::Table()
{
    static const TFormTable table = {
        {GANTREL_FIELD(TForm14, EpRadioButton1), GANTREL_FIELD(TForm14, EpRadioButton2),
         GANTREL_FIELD(TForm14, EpRadioButton3), GANTREL_FIELD(TForm14, EpButton2),
         GANTREL_FIELD(TForm14, EpButton1)},
        {},
    };
    return &table;
}

TForm14::TForm14(TComponent* owner) : TForm(owner, 0)
{
    ReadFormResource(this, Table());
}

void TForm14::Prepare(const std::string& caption, int firstTextId, int languageBase)
{
    SetCaption(caption);
    EpRadioButton1->SetCaption(LoadStr(languageBase + firstTextId));
    EpRadioButton2->SetCaption(LoadStr(languageBase + firstTextId + 1));
    EpRadioButton3->SetCaption(LoadStr(languageBase + firstTextId + 2));
}

int TForm14::ChosenPosition()
{
    if (EpRadioButton1->GetChecked()) return 0;
    if (EpRadioButton2->GetChecked()) return 1;
    if (EpRadioButton3->GetChecked()) return 2;
    return 0;
}
