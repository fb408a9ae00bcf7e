#include "Form10.h"

TForm10* Form10 = nullptr;

const TFormTable* TForm10::Table()
{
    static const TFormTable table = {
        {GANTREL_FIELD(TForm10, Image1), GANTREL_FIELD(TForm10, Label1), GANTREL_FIELD(TForm10, Label2),
         GANTREL_FIELD(TForm10, MpMediaButton1), GANTREL_FIELD(TForm10, MpMediaForm1)},
        {},
    };
    return &table;
}

TForm10::TForm10(TComponent* owner) : TForm(owner, 0)
{
    ReadFormResource(this, Table());
}
