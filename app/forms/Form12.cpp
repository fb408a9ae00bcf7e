#include "Form12.h"

TForm12* Form12 = nullptr;

const TFormTable* TForm12::Table()
{
    static const TFormTable table = {
        {GANTREL_FIELD(TForm12, EpTrackBar1), GANTREL_FIELD(TForm12, Label1), GANTREL_FIELD(TForm12, Label2),
         GANTREL_FIELD(TForm12, Label3), GANTREL_FIELD(TForm12, EpButton2), GANTREL_FIELD(TForm12, EpButton1)},
        {},
    };
    return &table;
}

TForm12::TForm12(TComponent* owner) : TForm(owner, 0)
{
    ReadFormResource(this, Table());
}
