#include "Form8.h"

#include "Form1.h"
#include "SysUtils.h"
#include "TextIds.h"

TForm8* Form8 = nullptr;

const TFormTable* TForm8::Table()
{
    static const TFormTable table = {
        {GANTREL_FIELD(TForm8, Label1), GANTREL_FIELD(TForm8, Label2), GANTREL_FIELD(TForm8, RadioGroup1),
         GANTREL_FIELD(TForm8, BitBtn1), GANTREL_FIELD(TForm8, BitBtn2)},
        {GANTREL_HANDLER(TForm8, FormCreate)},
    };
    return &table;
}

TForm8::TForm8(TComponent* owner) : TForm(owner, 0)
{
    ReadFormResource(this, Table());
}

void TForm8::FormCreate(TObject*)
{
    if (TFont* shared = GetUiFont()) Font()->Assign(shared);
    // Created after the main window, which knows the language by then.
    int base = Form1 ? Form1->Language.GetBase() : 0;
    SetCaption(LoadStr(base + TextId::O2Change));
    Label1->SetCaption(LoadStr(base + TextId::O2Richer));
    Label2->SetCaption(LoadStr(base + TextId::O2Stock));
    BitBtn1->SetCaption(LoadStr(base + TextId::OkAccel));
    BitBtn2->SetCaption(LoadStr(base + TextId::CancelAccel));
}
