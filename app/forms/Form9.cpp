#include "Form9.h"

#include "Form1.h"
#include "SysUtils.h"
#include "TextIds.h"

TForm9* Form9 = nullptr;

const TFormTable* TForm9::Table()
{
    static const TFormTable table = {
        {GANTREL_FIELD(TForm9, epShadowPanel1), GANTREL_FIELD(TForm9, epShadowPanel2),
         GANTREL_FIELD(TForm9, epShadowPanel3), GANTREL_FIELD(TForm9, Label1), GANTREL_FIELD(TForm9, Label2),
         GANTREL_FIELD(TForm9, Label3), GANTREL_FIELD(TForm9, Label4), GANTREL_FIELD(TForm9, Label5),
         GANTREL_FIELD(TForm9, Label6), GANTREL_FIELD(TForm9, Label7), GANTREL_FIELD(TForm9, Label8),
         GANTREL_FIELD(TForm9, Label9), GANTREL_FIELD(TForm9, Label10), GANTREL_FIELD(TForm9, Label11),
         GANTREL_FIELD(TForm9, Label12), GANTREL_FIELD(TForm9, Label13), GANTREL_FIELD(TForm9, Label14),
         GANTREL_FIELD(TForm9, epTextLabel1), GANTREL_FIELD(TForm9, epTextLabel2), GANTREL_FIELD(TForm9, Button1)},
        {GANTREL_HANDLER(TForm9, FormCreate)},
    };
    return &table;
}

TForm9::TForm9(TComponent* owner) : TForm(owner, 0)
{
    ReadFormResource(this, Table());
}

void TForm9::FormCreate(TObject*)
{
    if (TFont* shared = GetUiFont()) SetFont(shared);
}

void TForm9::SetLanguage(int languageBase)
{
    SetCaption(LoadStr(languageBase + TextId::HardwareInfoCaption));
    Label1->SetCaption(LoadStr(languageBase + TextId::SerialNumber));
    Label13->SetCaption(LoadStr(languageBase + TextId::ProductionNumber));
    Label3->SetCaption(LoadStr(languageBase + TextId::ProductionDate));
    Label5->SetCaption(LoadStr(languageBase + TextId::HardwareVersion));
    Label7->SetCaption(LoadStr(languageBase + TextId::FuelRevision));
    Label9->SetCaption(LoadStr(languageBase + TextId::IgnitionRevision));
    Label11->SetCaption(LoadStr(languageBase + TextId::MapNumber));
    Button1->SetCaption(LoadStr(languageBase + TextId::OkAccel));
}

void TForm9::SetNotes(TepTextLabel* label, const std::string& notes)
{
    // The first line is the heading; the notes follow it.
    std::string heading = label->Lines()->Count() > 0 ? label->Lines()->Get(0) : std::string();
    label->Lines()->SetText(notes.empty() ? heading : heading + "\r\n" + notes);
    label->XPaint();
}
