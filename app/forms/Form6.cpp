#include "Form6.h"

#include "Form1.h"
#include "SysUtils.h"
#include "TextIds.h"

const TFormTable* TForm6::Table()
{
    static const TFormTable table = {
        {GANTREL_FIELD(TForm6, Image1), GANTREL_FIELD(TForm6, Label1), GANTREL_FIELD(TForm6, Label2),
         GANTREL_FIELD(TForm6, Label3), GANTREL_FIELD(TForm6, CkDontSplash)},
        {GANTREL_HANDLER(TForm6, FormCreate), GANTREL_HANDLER(TForm6, FormClose)},
    };
    return &table;
}

TForm6::TForm6(TComponent* owner) : TForm(owner, 0)
{
    ReadFormResource(this, Table());
}

void TForm6::FormCreate(TObject*)
{
    if (TFont* shared = GetUiFont()) Font()->Assign(shared);
    Font()->SetSize(8);
    Font()->SetColor(clWhite);
    int base = Form1 ? Form1->Language.GetBase() : 0;
    Label1->SetCaption(LoadStr(base + TextId::DontShowSplash));
    Label3->SetCaption(LoadStr(base + 475));
    Label2->SetCaption(TForm1::FileVersion());
}

void TForm6::FormClose(TObject*, TCloseAction&) {}
