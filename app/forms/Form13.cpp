#include "Form13.h"

#include <string>

TForm13* Form13 = nullptr;

const TFormTable* TForm13::Table()
{
    static const TFormTable table = {
        {GANTREL_FIELD(TForm13, Panel1), GANTREL_FIELD(TForm13, Panel2), GANTREL_FIELD(TForm13, Panel3),
         GANTREL_FIELD(TForm13, Panel4), GANTREL_FIELD(TForm13, Label1), GANTREL_FIELD(TForm13, Label2),
         GANTREL_FIELD(TForm13, Label3), GANTREL_FIELD(TForm13, Label4), GANTREL_FIELD(TForm13, EpTrackBar1),
         GANTREL_FIELD(TForm13, EpTrackBar2), GANTREL_FIELD(TForm13, EpTrackBar3),
         GANTREL_FIELD(TForm13, EpTrackBar4), GANTREL_FIELD(TForm13, Edit1), GANTREL_FIELD(TForm13, Edit2),
         GANTREL_FIELD(TForm13, Edit3), GANTREL_FIELD(TForm13, Edit4), GANTREL_FIELD(TForm13, EpButton2),
         GANTREL_FIELD(TForm13, EpButton1)},
        {GANTREL_HANDLER(TForm13, FormShow), GANTREL_HANDLER(TForm13, EpTrackBar1Change),
         GANTREL_HANDLER(TForm13, EpTrackBar2Change), GANTREL_HANDLER(TForm13, EpTrackBar3Change),
         GANTREL_HANDLER(TForm13, EpTrackBar4Change)},
    };
    return &table;
}

TForm13::TForm13(TComponent* owner) : TForm(owner, 0)
{
    ReadFormResource(this, Table());
    CylinderCount = 4;
}

void TForm13::FormShow(TObject*)
{
    TPanel* panels[4] = {Panel1, Panel2, Panel3, Panel4};
    const int slot = (Width() - 20) / CylinderCount;
    for (TPanel* panel : panels) panel->SetVisible(false);
    for (int i = 0; i < CylinderCount && i < 4; ++i) {
        panels[i]->SetLeft(slot / 2 + slot * i - panels[i]->Width() / 2 + 10);
        panels[i]->SetVisible(true);
    }
}

void TForm13::EpTrackBar1Change(TObject*)
{
    Edit1->SetText(std::to_string(-EpTrackBar1->Position()));
}

void TForm13::EpTrackBar2Change(TObject*)
{
    // A cylinder the unit does not have keeps no trim.
    if (CylinderCount < 2)
        EpTrackBar2->SetPosition(0);
    else
        Edit2->SetText(std::to_string(-EpTrackBar2->Position()));
}

void TForm13::EpTrackBar3Change(TObject*)
{
    if (CylinderCount < 3)
        EpTrackBar3->SetPosition(0);
    else
        Edit3->SetText(std::to_string(-EpTrackBar3->Position()));
}

void TForm13::EpTrackBar4Change(TObject*)
{
    if (CylinderCount < 4)
        EpTrackBar4->SetPosition(0);
    else
        Edit4->SetText(std::to_string(-EpTrackBar4->Position()));
}
