// The controller settings: throttle calibration, hardware information,
// the current table position and the cylinder trims.
#include "Form1.h"

#include "Application.h"
#include "Form12.h"
#include "Form13.h"
#include "Form7.h"
#include "Form9.h"
#include "SysUtils.h"

#include <cstring>
#include <string>

namespace {

// Block 1 stores each of its four words XOR a key of its own.
constexpr uint32_t HardwareInfoKeys[4] = {0x5A3C96E1u, 0x1F2E3D4Cu, 0xC3A5F00Fu, 0x7B19E2D4u};
constexpr int ProductionNotesAt = 16;
constexpr int ProductionNotesLength = 200;
constexpr int NoIgnitionRevision = 127;

uint32_t LittleEndianWord(const uint8_t* bytes)
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

// The monitor held still for the window's own exchange, and let go again
// however the exchange ends.
class TMonitorHold {
public:
    explicit TMonitorHold(TForm1* form) : Form(form), Held(form->PauseForTransfer()) {}
    ~TMonitorHold() { Release(); }
    TMonitorHold(const TMonitorHold&) = delete;
    TMonitorHold& operator=(const TMonitorHold&) = delete;

    bool Holding() const { return Held; }
    void Release()
    {
        if (Held) Form->PauseMonitor(false);
        Held = false;
    }

private:
    TForm1* Form;
    bool Held;
};

}  // namespace

void TForm1::SetTP1Click(TObject*)
{
    TPortCommand scope(this);
    if (!scope.Entered) return;
    if (!Form7) Form7 = NewForm<TForm7>(Application);
    {
        TMonitorHold hold(this);
        if (hold.Holding()) Form7->ShowModal();
    }
    // The window frees itself when it closes; one that never showed goes here.
    if (Form7) {
        Form7->Free();
        Form7 = nullptr;
    }
}

void TForm1::HardwareInfo1Click(TObject*)
{
    TPortCommand scope(this);
    if (!scope.Entered) return;
    TMonitorHold hold(this);
    if (!hold.Holding()) return;
    uint8_t flags = 0;
    const int version = Port.GetVersion(flags);
    if (version < 0) return;

    Form9->SetLanguage(Language.GetBase());
    const std::string notAvailable = Text(TextId::NotAvailable);
    uint8_t header[TConfiguration::InfoHeaderLength] = {};
    char releaseNotes[256] = "";
    int ignitionRevision = 0;
    if (Port.ReadInfo(header, sizeof header, releaseNotes)) {
        uint8_t block[TComPort::BlockLength] = {};
        if (Port.ReadBlock(1, block, sizeof block)) {
            uint32_t words[4];
            for (int i = 0; i < 4; ++i) words[i] = LittleEndianWord(block + 4 * i) ^ HardwareInfoKeys[i];
            Form9->Label2->SetCaption(std::to_string(words[0]));
            Form9->Label14->SetCaption(std::to_string(words[1]));
            std::string date = DateTimeToStr(TDateTime(words[3]));
            Form9->Label4->SetCaption(date.empty() ? notAvailable : date);
            const char* notes = reinterpret_cast<const char*>(block + ProductionNotesAt);
            Form9->SetNotes(Form9->epTextLabel2, std::string(notes, strnlen(notes, ProductionNotesLength)));
        } else {
            // Without block 1 its numbers are unknown, not zero.
            Form9->Label2->SetCaption(notAvailable);
            Form9->Label14->SetCaption("");
            Form9->Label4->SetCaption(notAvailable);
            Form9->SetNotes(Form9->epTextLabel2, "");
        }
        Form9->Label6->SetCaption(std::to_string(header[1]));
        Form9->Label8->SetCaption(std::to_string(header[0]));
        ignitionRevision = header[2];
        Form9->Label12->SetCaption(std::to_string(header[3]));
        Form9->SetNotes(Form9->epTextLabel1, releaseNotes);
    } else {
        // What identification told.
        Form9->Label2->SetCaption(notAvailable);
        Form9->Label4->SetCaption(notAvailable);
        Form9->Label6->SetCaption(std::to_string(version));
        Form9->Label8->SetCaption(std::to_string(flags & 0x0F));
        ignitionRevision = flags & 0x80;
        Form9->Label12->SetCaption(std::to_string(version));
        Form9->Label14->SetCaption("");
        Form9->SetNotes(Form9->epTextLabel1, "");
        Form9->SetNotes(Form9->epTextLabel2, "");
    }
    const bool ignition = ignitionRevision != NoIgnitionRevision;
    Form9->Label10->SetCaption(ignition ? std::to_string(ignitionRevision) : notAvailable);
    Form9->Label9->SetVisible(ignition);
    Form9->Label10->SetVisible(ignition);

    hold.Release();
    Form9->ShowModal();
}

void TForm1::SetCurrentMap1Click(TObject*)
{
    TPortCommand scope(this);
    if (!scope.Entered) return;
    uint8_t block[TComPort::BlockLength] = {};
    {
        TMonitorHold hold(this);
        if (!hold.Holding()) return;
        uint8_t flags = 0;
        const int version = Port.GetVersion(flags);
        if (version < 0) {
            ShowStatus(Text(TextId::ControllerNotFound));
            return;
        }
        // Only version-2 controllers hold three table sets.
        if (version != 2) return;
        if (!Port.ReadBlock(3, block, sizeof block)) {
            ShowStatus(Text(TextId::SettingsNotRead));
            return;
        }
    }

    Form12->Label1->SetCaption(Text(TextId::UseTableSet1));
    Form12->Label2->SetCaption(Text(TextId::UseTableSet2));
    Form12->Label3->SetCaption(Text(TextId::UseTableSet3));
    Form12->EpButton2->SetCaption(Text(TextId::Ok));
    Form12->EpButton1->SetCaption(Text(TextId::Cancel));
    Form12->EpTrackBar1->SetPosition(block[7]);
    if (Form12->ShowModal() != mrOk) return;

    block[7] = uint8_t(Form12->EpTrackBar1->Position());
    TMonitorHold hold(this);
    if (!hold.Holding()) return;
    if (!Port.WriteBlock(3, block, sizeof block)) ShowStatus(Text(TextId::SettingsNotWritten));
}

void TForm1::SetFuelTrimValues1Click(TObject*)
{
    TPortCommand scope(this);
    if (!scope.Entered) return;
    uint8_t block[TComPort::BlockLength] = {};
    // The trims are shown and written by the kind of the controller's first table.
    TTableKind* kind = Config.ControllerSet[0].Kind;
    {
        TMonitorHold hold(this);
        if (!hold.Holding()) return;
        uint8_t flags = 0;
        const int version = Port.GetVersion(flags);
        if (version < 0 || !kind) {
            ShowStatus(Text(TextId::ControllerNotFound));
            return;
        }
        if (!(flags & 0x20)) return;
        if (!Port.ReadBlock(0, block, sizeof block)) {
            ShowStatus(Text(TextId::SettingsNotRead));
            return;
        }
    }

    int count = block[14] > 4 ? 4 : block[14];
    if (count == 0) count = 1;
    Form13->CylinderCount = count;
    Form13->SetCaption(Text(TextId::CylinderTrimCaption));
    TLabel* labels[4] = {Form13->Label1, Form13->Label2, Form13->Label3, Form13->Label4};
    TEpTrackBar* bars[4] = {Form13->EpTrackBar1, Form13->EpTrackBar2, Form13->EpTrackBar3, Form13->EpTrackBar4};
    TEdit* edits[4] = {Form13->Edit1, Form13->Edit2, Form13->Edit3, Form13->Edit4};
    for (int i = 0; i < 4; ++i) {
        labels[i]->SetCaption(Text(TextId::Cylinder1 + i));
        bars[i]->SetPosition(0);
        edits[i]->SetText("0");
        edits[i]->SetReadOnly(!Advanced1->Checked());
    }
    Form13->EpButton2->SetCaption(Text(TextId::Ok));
    Form13->EpButton1->SetCaption(Text(TextId::Cancel));
    std::string shownTexts[4];
    for (int k = count; k >= 1; --k) {
        const uint8_t trim = block[14 + k];
        const int shown = int(kind->LivePair(trim, trim));
        bars[k - 1]->SetPosition(-shown);
        // The trim as read, also where the track bar cannot go that far.
        shownTexts[k - 1] = std::to_string(shown);
        edits[k - 1]->SetText(shownTexts[k - 1]);
    }
    if (Form13->ShowModal() != mrOk) return;

    // A trim still showing what it was shown with goes back as read: the
    // shown value is rounded, and packing it again could move the trim. A
    // changed one is packed by the kind.
    int bytes[4] = {};
    for (int k = count; k >= 1; --k) {
        const std::string text = edits[k - 1]->Text();
        if (text == shownTexts[k - 1]) {
            bytes[k - 1] = block[14 + k];
            continue;
        }
        int value = 0;
        bool whole = text.find_first_not_of(" \t") != std::string::npos && ReadCellValue(text, value);
        bytes[k - 1] = whole ? kind->PackValue(value) : -1;
        if (bytes[k - 1] < 0 || bytes[k - 1] > 255) {
            MessageBeep(0);
            ShowStatus(Text(TextId::TrimValuesInvalid));
            return;
        }
    }
    for (int i = 15; i <= 18; ++i) block[i] = 128;
    for (int k = count; k >= 1; --k) block[14 + k] = uint8_t(bytes[k - 1]);

    TMonitorHold hold(this);
    if (!hold.Holding()) return;
    if (!Port.WriteBlock(0, block, sizeof block)) ShowStatus(Text(TextId::SettingsNotWritten));
}
