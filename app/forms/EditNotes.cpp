#include "EditNotes.h"

#include "Form1.h"
#include "IniFiles.h"

const TFormTable* TEditNotes::Table()
{
    static const TFormTable table = {
        {GANTREL_FIELD(TEditNotes, ResizerPanel1), GANTREL_FIELD(TEditNotes, Memo1),
         GANTREL_FIELD(TEditNotes, Button1), GANTREL_FIELD(TEditNotes, Button2)},
        {GANTREL_HANDLER(TEditNotes, FormCreate), GANTREL_HANDLER(TEditNotes, Button1Click),
         GANTREL_HANDLER(TEditNotes, Button2Click), GANTREL_HANDLER(TEditNotes, FormClose)},
    };
    return &table;
}

TEditNotes::TEditNotes(TComponent* owner) : TForm(owner, 0)
{
    ReadFormResource(this, Table());
}

void TEditNotes::FormCreate(TObject*)
{
    if (TFont* shared = GetUiFont()) ResizerPanel1->SetFont(shared);
    TIniFile ini(Form1->SettingsPath);
    SetStoredBounds(this, ini.ReadInteger("EditPlacement", "Left", 0), ini.ReadInteger("EditPlacement", "Top", 0),
                    ini.ReadInteger("EditPlacement", "Width", 350), ini.ReadInteger("EditPlacement", "Height", 387),
                    350, 387);
    SetCaption(Form1->Text(TextId::NotesCaption));
    Button1->SetCaption(Form1->Text(TextId::Accept));
    Button2->SetCaption(Form1->Text(TextId::CancelAccel));
    Form1->SetFileCommandsEnabled(false);
    LoadNotes();
}

void TEditNotes::LoadNotes()
{
    const TTableKind* first = Form1->Config.FileSet[0].Kind;
    Memo1->SetText(first ? first->Notes : std::string());
}

void TEditNotes::Button1Click(TObject*)
{
    TTableKind* first = Form1->Config.FileSet[0].Kind;
    if (first) {
        std::string text = Memo1->Text();
        first->Notes = text.substr(0, text.find('\0'));
    }
    Form1->NotesEdited = true;
    Button2Click(this);
}

void TEditNotes::EnableMainCommands()
{
    if (Form1->FileChosen)
        Form1->SetFileCommandsEnabled(true);
    else
        Form1->Button4->SetEnabled(true);
    Form1->SetLoadCommandsEnabled(true);
}

void TEditNotes::Button2Click(TObject*)
{
    EnableMainCommands();
    Close();
}

void TEditNotes::FormClose(TObject*, TCloseAction& action)
{
    TIniFile ini(Form1->SettingsPath);
    ini.WriteInteger("EditPlacement", "Height", Height());
    ini.WriteInteger("EditPlacement", "Width", Width());
    ini.WriteInteger("EditPlacement", "Top", Top());
    ini.WriteInteger("EditPlacement", "Left", Left());
    EnableMainCommands();
    action = caFree;
    Form1->NotesWindow = nullptr;
}
