#include "Form7.h"

#include "Form1.h"
#include "TextIds.h"

#include <algorithm>
#include <cmath>
#include <string>

TForm7* Form7 = nullptr;

namespace {
constexpr uint8_t ReadCalibrationCommand = 12;   // read block 0
constexpr uint8_t WriteCalibrationCommand = 18;  // write block 0
// The controller wants a moment between the command and the block.
constexpr DWORD CommandWaitMs = 10;

// A field that holds a byte the user could have typed: a whole number
// from 0 to 255 (blanks around it allowed).
bool ReadByteField(TEdit* edit, int& value)
{
    std::string text = edit->Text();
    if (text.find_first_not_of(" \t") == std::string::npos) return false;
    return ReadCellValue(text, value) && value >= 0 && value <= 255;
}

// Why a throttle capture brought no reading.
int NoReadingText(int raw)
{
    return raw == TComPort::ReplyCut ? TextId::CommunicationError : TextId::ControllerNotFound;
}
}  // namespace

const TFormTable* TForm7::Table()
{
    static const TFormTable table = {
        {GANTREL_FIELD(TForm7, Edit1), GANTREL_FIELD(TForm7, Edit2), GANTREL_FIELD(TForm7, Edit3),
         GANTREL_FIELD(TForm7, Edit4), GANTREL_FIELD(TForm7, Edit5), GANTREL_FIELD(TForm7, Edit6),
         GANTREL_FIELD(TForm7, Edit7), GANTREL_FIELD(TForm7, Edit8), GANTREL_FIELD(TForm7, Edit9),
         GANTREL_FIELD(TForm7, Edit10), GANTREL_FIELD(TForm7, Edit11), GANTREL_FIELD(TForm7, Label1),
         GANTREL_FIELD(TForm7, Label2), GANTREL_FIELD(TForm7, Button1), GANTREL_FIELD(TForm7, Button2),
         GANTREL_FIELD(TForm7, Button3), GANTREL_FIELD(TForm7, Button4), GANTREL_FIELD(TForm7, Button5),
         GANTREL_FIELD(TForm7, CheckBox1), GANTREL_FIELD(TForm7, BitBtn1), GANTREL_FIELD(TForm7, BitBtn2),
         GANTREL_FIELD(TForm7, BitBtn3), GANTREL_FIELD(TForm7, epRunPanel1)},
        {GANTREL_HANDLER(TForm7, FormCreate), GANTREL_HANDLER(TForm7, FormShow), GANTREL_HANDLER(TForm7, FormClose),
         GANTREL_HANDLER(TForm7, Button1Click), GANTREL_HANDLER(TForm7, Button2Click),
         GANTREL_HANDLER(TForm7, Button3Click), GANTREL_HANDLER(TForm7, Button4Click),
         GANTREL_HANDLER(TForm7, Button5Click), GANTREL_HANDLER(TForm7, BitBtn1Click),
         GANTREL_HANDLER(TForm7, BitBtn3Click), GANTREL_HANDLER(TForm7, Edit1Change)},
    };
    return &table;
}

TForm7::TForm7(TComponent* owner) : TForm(owner, 0)
{
    ReadFormResource(this, Table());
    epRunPanel1->SetVisible(false);
    SetCaption(Form1->Text(TextId::SetTpCaption));
    Button1->SetCaption(Form1->Text(TextId::TpClosed));
    Button2->SetCaption(Form1->Text(TextId::TpOpen));
    BitBtn1->SetCaption(Form1->Text(TextId::OkAccel));
    BitBtn2->SetCaption(Form1->Text(TextId::CancelAccel));
}

void TForm7::FormCreate(TObject*)
{
    if (TFont* shared = GetUiFont()) SetFont(shared);
}

void TForm7::FormShow(TObject*)
{
    Button3Click(this);
}

void TForm7::FormClose(TObject*, TCloseAction& action)
{
    action = caFree;
    if (Form7 == this) Form7 = nullptr;
}

bool TForm7::ReadCalibration(uint8_t (&block)[TComPort::BlockLength])
{
    TComPort& port = Form1->Port;
    std::fill(std::begin(block), std::end(block), uint8_t(0));
    port.Purge();
    if (port.Write(1, &ReadCalibrationCommand) != 1) return false;
    Sleep(CommandWaitMs);
    return port.Read(TComPort::BlockLength, block) == TComPort::BlockLength;
}

void TForm7::Button3Click(TObject*)
{
    uint8_t block[TComPort::BlockLength];
    if (!ReadCalibration(block)) {
        // Empty fields cannot be sent: a failed read never goes back as zeros.
        for (TEdit* edit : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9, Edit10, Edit11})
            edit->SetText("");
        Form1->ShowStatus(Form1->Text(TextId::SettingsNotRead));
        return;
    }
    TEdit* points[9] = {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9};
    for (int i = 0; i < 9; ++i) points[i]->SetText(std::to_string(block[i]));
    Edit10->SetText(std::to_string(block[21]));
    Edit11->SetText(std::to_string(block[20]));

    // The factors of the four extra points: a loaded map with its own O2
    // setting keeps those of the map; units without the extra points have
    // none to give. Equal end points define none: the previous ones stay.
    const TConfiguration& config = Form1->Config;
    bool fileFactors = config.O2Pending && Form1->FileChosen;
    bool extraPoints = (config.Flags & 0x40) != 0;
    if (!fileFactors && extraPoints && block[8] != block[0]) {
        for (int k = 1; k <= 4; ++k)
            Form1->TpFactors[k - 1] = float(block[8 + k] - block[0]) / float(block[8] - block[0]);
        Form1->TpFactorsKnown = true;
    }
}

bool TForm7::SendCalibration()
{
    TEdit* fields[11] = {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9, Edit10, Edit11};
    int values[11] = {};
    for (int i = 0; i < 11; ++i) {
        if (!ReadByteField(fields[i], values[i])) {
            MessageBeep(0);
            Form1->ShowStatus(Form1->Text(TextId::TpValuesInvalid));
            return false;
        }
    }
    // Read first, so that every other byte goes back as the controller has it.
    uint8_t block[TComPort::BlockLength];
    if (!ReadCalibration(block)) {
        Form1->ShowStatus(Form1->Text(TextId::SettingsNotRead));
        return false;
    }
    for (int i = 0; i < 9; ++i) block[i] = uint8_t(values[i]);
    // Without factors the points would all fall on the closed reading: the
    // unit's own stay.
    if ((Form1->Config.Flags & 0x40) && Form1->TpFactorsKnown) {
        const int span = block[8] - block[0];
        for (int k = 1; k <= 4; ++k) {
            double point = std::trunc(span * double(Form1->TpFactors[k - 1]) + block[0] + 0.5);
            block[8 + k] = uint8_t(std::clamp(point, 0.0, 255.0));
        }
    }
    block[20] = uint8_t(values[10]);
    block[21] = uint8_t(values[9]);

    TComPort& port = Form1->Port;
    port.Purge();
    bool written = port.Write(1, &WriteCalibrationCommand) == 1;
    if (written) {
        Sleep(CommandWaitMs);
        written = port.Write(TComPort::BlockLength, block) == TComPort::BlockLength;
    }
    if (!written) Form1->ShowStatus(Form1->Text(TextId::SettingsNotWritten));
    return written;
}

void TForm7::Button4Click(TObject*)
{
    SendCalibration();
}

void TForm7::BitBtn1Click(TObject*)
{
    if (!SendCalibration()) {
        // The window stays open: what was captured is not lost.
        ModalResult = mrNone;
        return;
    }
    Form1->RedetectRequest = true;
}

bool TForm7::EndPointsSet()
{
    int value = 0;
    return ReadByteField(Edit1, value) && ReadByteField(Edit9, value);
}

void TForm7::Button1Click(TObject*)
{
    int raw = Form1->Port.ReadTpRaw();
    // A negative result is no reading at all: no controller answered, or
    // its reply stopped short of the throttle byte.
    if (raw < 0) {
        Form1->ShowStatus(Form1->Text(NoReadingText(raw)));
        return;
    }
    Edit1->SetText(std::to_string(raw));
    if (EndPointsSet() && CheckBox1->Checked()) CalculateTable();
}

void TForm7::Button2Click(TObject*)
{
    int raw = Form1->Port.ReadTpRaw();
    if (raw < 0) {
        Form1->ShowStatus(Form1->Text(NoReadingText(raw)));
        return;
    }
    Edit9->SetText(std::to_string(raw));
    if (EndPointsSet() && CheckBox1->Checked()) CalculateTable();
}

void TForm7::Edit1Change(TObject*)
{
    if (EndPointsSet() && CheckBox1->Checked()) CalculateTable();
}

void TForm7::Button5Click(TObject*)
{
    if (EndPointsSet()) CalculateTable();
}

void TForm7::CalculateTable()
{
    // The fields it sets report their changes, which come back here.
    if (Calculating) return;
    int open = 0, closed = 0;
    if (!ReadByteField(Edit9, open) || !ReadByteField(Edit1, closed)) return;
    Calculating = true;
    Edit1->SetText(std::to_string(closed & 0xFF));
    static const float fractions[8] = {0.02f, 0.05f, 0.1f, 0.2f, 0.4f, 0.6f, 0.8f, 1.0f};
    TEdit* points[8] = {Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9};
    const int span = open - closed;
    for (int i = 0; i < 8; ++i) {
        int point = int(std::trunc(span * double(fractions[i]) + closed + 0.5));
        points[i]->SetText(std::to_string(point & 0xFF));
    }
    Calculating = false;
}

void TForm7::BitBtn3Click(TObject*)
{
    if (epRunPanel1->Visible()) {
        SetHeight(Height() - epRunPanel1->Height());
        epRunPanel1->SetActive(false);
        epRunPanel1->SetVisible(false);
    } else {
        SetHeight(Height() + epRunPanel1->Height());
        epRunPanel1->SetActive(true);
        epRunPanel1->SetVisible(true);
    }
}
