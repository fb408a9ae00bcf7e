#include "Form11.h"

#include "Application.h"
#include "Form1.h"
#include "SysUtils.h"

#include <algorithm>
#include <cstring>

TForm11* Form11 = nullptr;

namespace {
// The handheld has answered 'P' and reads the record; what it sends back
// follows the record at once.
constexpr DWORD EchoWaitMs = 100;
// "Map Sent and Verified" stays this long before the dialog closes.
constexpr DWORD VerifiedShowMs = 1000;
}  // namespace

const TFormTable* TForm11::Table()
{
    static const TFormTable table = {
        {GANTREL_FIELD(TForm11, Label1), GANTREL_FIELD(TForm11, Label2), GANTREL_FIELD(TForm11, Label3),
         GANTREL_FIELD(TForm11, Label4), GANTREL_FIELD(TForm11, Edit1), GANTREL_FIELD(TForm11, Memo1),
         GANTREL_FIELD(TForm11, Edit2), GANTREL_FIELD(TForm11, EpButton2), GANTREL_FIELD(TForm11, EpButton1),
         GANTREL_FIELD(TForm11, CheckBox1), GANTREL_FIELD(TForm11, Timer1), GANTREL_FIELD(TForm11, Timer2),
         GANTREL_FIELD(TForm11, EpForm1)},
        {GANTREL_HANDLER(TForm11, Button1Click), GANTREL_HANDLER(TForm11, Timer1Timer),
         GANTREL_HANDLER(TForm11, FormShow), GANTREL_HANDLER(TForm11, CheckBox1Click)},
    };
    return &table;
}

TForm11::TForm11(TComponent* owner) : TForm(owner, 0)
{
    ReadFormResource(this, Table());
    SetCaption(Text(TextId::HandheldCaption));
}

int TForm11::LanguageBase() const
{
    return Form1 ? Form1->Language.GetBase() : 0;
}

std::string TForm11::Text(int id) const
{
    return LoadStr(LanguageBase() + id);
}

void TForm11::ShowStatus(const std::string& text)
{
    Timer1->SetEnabled(false);
    Label1->SetCaption(text);
    Timer1->SetEnabled(true);
}

void TForm11::Timer1Timer(TObject*)
{
    Label1->SetCaption("");
    Timer1->SetEnabled(false);
}

void TForm11::FormShow(TObject*)
{
    if (CheckBox1->Visible() && CheckBox1->GetChecked()) Timer2->SetEnabled(true);
}

void TForm11::CheckBox1Click(TObject*)
{
    if (CheckBox1->GetChecked()) Button1Click(this);
}

void TForm11::StripCarriageReturns(char* text)
{
    char* out = text;
    for (const char* in = text; *in; ++in)
        if (*in != '\r') *out++ = *in;
    *out = '\0';
}

bool TForm11::SameBytes(const uint8_t* a, const uint8_t* b, int count)
{
    return std::memcmp(a, b, size_t(count)) == 0;
}

void TForm11::Button1Click(TObject*)
{
    Timer2->SetEnabled(false);
    // The automatic send of a dialog closed before it came: the controller's
    // port may be taken back already.
    if (!Visible()) return;

    // Title and notes as the dialog shows them, each cut to its field and
    // ended by a zero byte; the notes lose their carriage returns.
    std::memset(MapRecord + TitleOffset, 0, TitleLength);
    std::string title = Edit1->Text();
    std::memcpy(MapRecord + TitleOffset, title.data(), std::min(title.size(), size_t(TitleLength - 1)));
    std::memset(MapRecord + NotesOffset, 0, NotesLength);
    std::string notes = Memo1->Text();
    std::memcpy(MapRecord + NotesOffset, notes.data(), std::min(notes.size(), size_t(NotesLength - 1)));
    StripCarriageReturns(reinterpret_cast<char*>(MapRecord + NotesOffset));

    // The Send button closes the dialog; only a verified record does.
    const bool sent = SendRecord();
    Port.Close();
    if (sent) {
        ModalResult = mrOk;
        Close();
    } else {
        ModalResult = mrNone;
    }
}

bool TForm11::SendRecord()
{
    bool found = false;
    for (int i = 1; i <= 4 && !found; ++i) {
        Port.Close();
        std::string name = "com" + std::to_string(i);
        found = Port.Open(name.c_str()) == int(THandheldPort::BaudRate) && Port.Probe();
    }
    if (!found) {
        ShowStatus(Text(TextId::HandheldNotFound));
        Application->MessageBox(Text(TextId::HandheldNoConnection), Text(TextId::CommunicationError), MB_OK);
        return false;
    }

    // Any byte back says the handheld listens for the record.
    const uint8_t echo = 'P';
    Port.Write(1, &echo);
    bool echoed = false;
    for (int i = 0; i < EchoReads && !echoed; ++i) {
        uint8_t answer = 0;
        echoed = Port.Read(1, &answer) == 1;
    }
    if (!echoed) {
        ShowStatus(Text(TextId::EchoFailed));
        return false;
    }

    Port.Write(RecordLength, MapRecord);
    Sleep(EchoWaitMs);
    uint8_t back[RecordLength] = {};
    if (Port.Read(RecordLength, back) < RecordLength) {
        ShowStatus(Text(TextId::MapEchoFailed));
        return false;
    }
    if (!SameBytes(back, MapRecord, RecordLength)) {
        ShowStatus(Text(TextId::HandheldVerifyFailed));
        return false;
    }
    ShowStatus(Text(TextId::MapSentVerified));
    Repaint();
    Sleep(VerifiedShowMs);
    Label1->SetCaption("");
    return true;
}
