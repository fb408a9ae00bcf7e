// Moving tables between the map and the controller: Get Current, Get All,
// Upload Current, Upload All with their read-back, and the O2 setting.
//
// Everything runs on the user-interface thread with the monitor held by the
// pause handshake; each step's text is painted at once, since the thread
// stays in port reads and waits until the transfer ends.
#include "Form1.h"

#include "CompairForm.h"
#include "Form14.h"
#include "Form8.h"
#include "GridCells.h"

#include <algorithm>
#include <vector>

namespace {

// Table 4 (block 3 on version-2 units) keeps the buttons in bytes 0..5.
void ResetButtonBytes(uint8_t* bytes)
{
    bytes[0] = bytes[1] = bytes[2] = 5;
    bytes[3] = bytes[4] = bytes[5] = 128;
}

constexpr int O2Byte = 7;           // of table 4
constexpr int ButtonTable = 4;      // table 4 and block 3 go without the table position
constexpr int ButtonBlock = 3;
constexpr DWORD ReadBackWaitMs = 250;
constexpr DWORD EndWaitMs = 500;

}  // namespace

int TForm1::CountDifferences(const uint8_t* sent, const uint8_t* readBack, int count)
{
    int differences = 0;
    for (int i = 0; i < count; ++i)
        if (sent[i] != readBack[i]) ++differences;
    return differences;
}

void TForm1::PaintNow()
{
    // The status label and the grid sit in child windows: everything that
    // changed is painted, not only the form's own area.
    if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TForm1::ShowTransferStep(const std::string& text)
{
    Label1->SetAlignment(taCenter);
    Label1->SetCaption(text);
    PaintNow();
}

int TForm1::IdentifyForTransfer()
{
    uint8_t flags = 0;
    const int version = Port.GetVersion(flags);
    if (version < 0) return -1;
    if (version == Config.ControllerVersion && flags == Config.Flags && Config.TableLength > 0) return version;
    // Another unit than the one configured (the monitor may not have seen
    // the change yet): its tables, wire numbers and length come first.
    TWindowChanges changes;
    const int served = Config.ConfigureForController(Port, Config.O2Pending, changes);
    ApplyWindowChanges(changes);
    if (!served) return changes.StatusText.empty() ? -1 : -2;
    return Config.ControllerVersion;
}

bool TForm1::StartTransfer(bool upload, bool askPosition)
{
    if (!FileLoaded || Config.FileSet.Count <= 0) return false;
    if (upload) StringGrid1Exit(this);
    DifferenceCount = 0;
    if (!PauseForTransfer()) return false;
    ShowTransferStep("");

    const int version = IdentifyForTransfer();
    if (version < 0) {
        // A version this tool does not serve has said so already.
        if (version == -1) ShowStatus(Text(TextId::ControllerNotFound));
        PauseMonitor(false);
        return false;
    }
    switch (Config.CheckCompatibility()) {
    case -1:
        ShowStatus(Text(237));
        PauseMonitor(false);
        return false;
    case 0:
        if (MessageDlg(Text(234), mtConfirmation, mbYesNo) != mrYes) {
            PauseMonitor(false);
            return false;
        }
        break;
    default:
        break;
    }

    Form14->Prepare("", upload ? TextId::SendToPosition1 : TextId::GetFromPosition1, Language.GetBase());
    // Only version-2 units hold three positions; a preset position (the
    // Insert key) stays only there.
    if (version != 2) {
        TablePosition = 0;
    } else if (askPosition) {
        if (Form14->ShowModal() != mrOk) {
            PauseMonitor(false);
            return false;
        }
        TablePosition = uint8_t(Form14->ChosenPosition());
    }
    PaintNow();
    return true;
}

bool TForm1::ControllerHasO2() const
{
    const int v = Config.ControllerVersion;
    return Config.O2Option && (v == 1 || (v >= 100 && v <= 148));
}

bool TForm1::ReadO2Setting()
{
    std::vector<uint8_t> table(size_t(std::max(Config.TableLength, TTableKind::TableSize())));
    // A table that did not arrive says nothing about the setting.
    if (Port.ReadTable(ButtonTable, table.data(), Config.TableLength) != TComPort::Ok) return false;
    Config.O2Value = table[O2Byte];
    ShowO2Setting(Config.O2Value);
    Config.O2Pending = false;
    Config.O2Known = true;
    return true;
}

bool TForm1::ResetButtonsAndWriteO2(std::string& failedStep)
{
    failedStep.clear();
    if (Config.ControllerVersion == 2) {
        if (!ResetButtons) return true;
        const std::string step = Text(TextId::ResettingButtons);
        ShowTransferStep(step);
        std::vector<uint8_t> block(size_t(std::max(Config.TableLength, TComPort::BlockLength)));
        // Only a block that arrived whole goes back: anything else would
        // overwrite the unit's settings with what never came.
        if (!Port.ReadBlock(ButtonBlock, block.data(), TComPort::BlockLength)) {
            failedStep = step;
            return false;
        }
        ResetButtonBytes(block.data());
        if (!Port.WriteBlock(ButtonBlock, block.data(), TComPort::BlockLength)) {
            failedStep = step;
            return false;
        }
        return true;
    }

    const bool o2 = Config.O2Pending;
    if (!ResetButtons && !o2) return true;
    const std::string step = !ResetButtons ? Text(TextId::UpdatingO2Change)
                             : o2          ? Text(TextId::ResettingButtons) + " + " + Text(TextId::UpdatingO2Change)
                                           : Text(TextId::ResettingButtons) + "...";
    ShowTransferStep(step);
    std::vector<uint8_t> table(size_t(std::max(Config.TableLength, TTableKind::TableSize())));
    if (Port.ReadTable(ButtonTable, table.data(), Config.TableLength) != TComPort::Ok) {
        // The setting stays pending for the next upload.
        failedStep = step;
        return false;
    }
    if (ResetButtons) ResetButtonBytes(table.data());
    if (o2) table[O2Byte] = Config.O2Value;
    // A table that did not go out whole leaves the setting pending too.
    if (Port.WriteTable(ButtonTable, table.data(), Config.TableLength) != TComPort::Ok) {
        failedStep = step;
        return false;
    }
    if (o2) Config.O2Pending = false;
    return true;
}

// Upload All.
void TForm1::Button9Click(TObject*)
{
    TPortCommand scope(this);
    if (!scope.Entered) return;
    if (!StartTransfer(true, true)) return;
    Port.Purge();
    const int count = Config.FileSet.Count;
    const int length = Config.TableLength;
    const int base = Language.GetBase();
    const int remembered = CurrentTable;
    if (count > 1) CurrentTable = 0;
    ProgressBar1->SetEnabled(true);
    ProgressBar1->SetPosition(0);
    ProgressBar1->SetVisible(true);
    ProgressBar1->SetStep(10);

    const size_t size = size_t(std::max(length, TTableKind::TableSize()));
    std::vector<uint8_t> sent(size), readBack(size);
    TGridCells grid(StringGrid1);
    for (int k = 0; k < count; ++k) {
        ShowTable(k, true);
        TTableKind* kind = Config.FileSet[k].Kind;
        ShowTransferStep(kind->Text(base, 0));
        kind->GridToBytes(sent.data(), grid, Config.FileSet.RpmStep);
        const int wire = Config.ControllerSet[k].WireTable + TablePosition;
        Port.WriteTable(wire, sent.data(), length);
        ProgressBar1->StepIt();
        ShowTransferStep(kind->Text(base, 1));
        Sleep(ReadBackWaitMs);
        if (Port.ReadTable(wire, readBack.data(), length) < 0) {
            DifferenceCount = -1;
            break;
        }
        DifferenceCount += CountDifferences(sent.data(), readBack.data(), length);
        ProgressBar1->StepIt();
        PaintNow();
    }
    if (count > 1) ShowTable(remembered, true);
    PaintNow();

    std::string failedStep;
    ResetButtonsAndWriteO2(failedStep);
    ProgressBar1->StepIt();
    std::string outcome = Text(DifferenceCount != 0 ? TextId::VerifyFailedUseCompare : TextId::TablesSentVerified);
    if (!failedStep.empty()) outcome += "  " + failedStep + ": " + Text(TextId::CommunicationError);
    ShowStatus(outcome);
    ProgressBar1->SetEnabled(false);
    ProgressBar1->SetPosition(0);
    ProgressBar1->SetVisible(false);
    PaintNow();
    Sleep(EndWaitMs);
    PauseMonitor(false);
    Timer1->SetEnabled(false);
    Timer1->SetEnabled(true);
}

// Upload Current.
void TForm1::Button8Click(TObject*)
{
    TPortCommand scope(this);
    if (!scope.Entered) return;
    if (!StartTransfer(true, AskForPosition)) return;
    const int i = CurrentTable;
    const int length = Config.TableLength;
    const int base = Language.GetBase();
    const size_t size = size_t(std::max(length, TTableKind::TableSize()));
    std::vector<uint8_t> sent(size), readBack(size);
    TTableKind* kind = Config.FileSet[i].Kind;
    const int wire = Config.ControllerSet[i].WireTable + TablePosition;

    ShowTransferStep(kind->Text(base, 0));
    TGridCells grid(StringGrid1);
    kind->GridToBytes(sent.data(), grid, Config.FileSet.RpmStep);
    Port.WriteTable(wire, sent.data(), length);
    ShowTransferStep(kind->Text(base, 1));
    // A read-back that did not arrive verifies nothing.
    if (Port.ReadTable(wire, readBack.data(), length) < 0)
        DifferenceCount = -1;
    else
        DifferenceCount += CountDifferences(sent.data(), readBack.data(), length);

    std::string failedStep;
    ResetButtonsAndWriteO2(failedStep);
    std::string outcome = Text(DifferenceCount != 0 ? TextId::VerifyFailedUseCompare : TextId::TableSentVerified);
    if (!failedStep.empty()) outcome += "  " + failedStep + ": " + Text(TextId::CommunicationError);
    ShowStatus(outcome);
    PaintNow();
    Sleep(EndWaitMs);
    PauseMonitor(false);
    Timer1->SetEnabled(false);
    Timer1->SetEnabled(true);
}

void TForm1::UploadCurrentFromKey()
{
    if (!FileLoaded || !PortCommandMayStart()) return;
    const bool reset = ResetButtons;
    ResetButtons = false;
    // The live "Table Num" (1..3) names the position in use: only
    // version-2 units show it, and only they hold positions.
    int shown = 0;
    if (Config.ControllerVersion == 2 && ReadCellValue(IgnVal->Caption(), shown) && shown >= 1 && shown <= 3) {
        TablePosition = uint8_t(shown - 1);
        AskForPosition = false;
    }
    Button8Click(this);
    ResetButtons = reset;
    AskForPosition = true;
}

// Get Current.
void TForm1::Button7Click(TObject*)
{
    TPortCommand scope(this);
    if (!scope.Entered) return;
    if (!StartTransfer(false, true)) return;
    const int i = CurrentTable;
    const int length = Config.TableLength;
    const int base = Language.GetBase();
    std::vector<uint8_t> buffer(size_t(std::max(length, TTableKind::TableSize())));
    Port.Purge();
    TTableKind* kind = Config.FileSet[i].Kind;
    ShowTransferStep(kind->Text(base, 2));
    const int result = Port.ReadTable(Config.ControllerSet[i].WireTable + TablePosition, buffer.data(), length);
    // The table and the O2 setting are told apart: either may arrive without the other.
    const bool o2Failed = ControllerHasO2() && !ReadO2Setting();
    std::string outcome = kind->Text(base, result < 0 ? 3 : 4);
    if (o2Failed) outcome += "  " + Text(TextId::O2Change) + ": " + Text(TextId::CommunicationError);
    ShowStatus(outcome);
    if (result >= 0) {
        TGridCells grid(StringGrid1);
        kind->BytesToGrid(buffer.data(), grid, Config.FileSet.RpmStep);
        StringGrid1Exit(this);
        if (CompareWindow) CompareWindow->MapReplaced(CurrentFileName);
    }
    PaintNow();
    PauseMonitor(false);
    Timer1->SetEnabled(false);
    Timer1->SetEnabled(true);
}

// Get All.
void TForm1::Button10Click(TObject*)
{
    TPortCommand scope(this);
    if (!scope.Entered) return;
    if (!StartTransfer(false, true)) return;
    ProgressBar1->SetEnabled(true);
    ProgressBar1->SetPosition(0);
    ProgressBar1->SetVisible(true);
    ProgressBar1->SetStep(12);
    const int count = Config.FileSet.Count;
    const int length = Config.TableLength;
    const int base = Language.GetBase();
    const int remembered = CurrentTable;
    CurrentTable = 0;
    std::vector<uint8_t> buffer(size_t(std::max(length, TTableKind::TableSize())));
    TGridCells grid(StringGrid1);
    int sum = 0;
    bool unpacked = false;
    for (int k = 0; k < count; ++k) {
        ShowTable(k, true);
        TTableKind* kind = Config.FileSet[k].Kind;
        ShowTransferStep(kind->Text(base, 2));
        sum += std::min(0, Port.ReadTable(Config.ControllerSet[k].WireTable + TablePosition, buffer.data(), length));
        ProgressBar1->StepIt();
        // From the first failure on, nothing more is unpacked: the tables
        // that follow keep what they had.
        if (sum == 0) {
            kind->BytesToGrid(buffer.data(), grid, Config.FileSet.RpmStep);
            StringGrid1Exit(this);
            unpacked = true;
            ProgressBar1->StepIt();
            PaintNow();
        }
    }
    if (unpacked && CompareWindow) CompareWindow->MapReplaced(CurrentFileName);
    ProgressBar1->StepIt();
    ShowTable(remembered, true);
    // The O2 setting belongs to the map too (it is saved with it); its
    // failure is told on its own, after the tables' outcome.
    const bool o2Failed = ControllerHasO2() && !ReadO2Setting();
    ProgressBar1->SetEnabled(false);
    ProgressBar1->SetVisible(false);
    PauseMonitor(false);
    std::string outcome = Text(sum == 0 ? TextId::MapsRetrieved : TextId::RetrieveMapFailed);
    if (o2Failed) outcome += "  " + Text(TextId::O2Change) + ": " + Text(TextId::CommunicationError);
    ShowStatus(outcome);
    PaintNow();
}

void TForm1::ShowO2Setting(uint8_t value)
{
    const int step = value == 12 ? 2 : value == 11 ? 1 : 0;
    epLabelButton1->SetCaption(Text(TextId::O2Change) + ": " + std::to_string(step));
    if (Form8) Form8->RadioGroup1->SetItemIndex(2 - step);
    N21->SetChecked(step == 2);
    N11->SetChecked(step == 1);
    N01->SetChecked(step == 0);
}

void TForm1::ChooseO2(uint8_t value)
{
    Config.O2Value = value;
    ShowO2Setting(value);
    Config.O2Pending = true;
    Config.O2Known = true;
}

void TForm1::N21Click(TObject*) { ChooseO2(12); }

void TForm1::N11Click(TObject*) { ChooseO2(11); }

void TForm1::N01Click(TObject*) { ChooseO2(0); }

void TForm1::O2ButtonClick(TObject*)
{
    ShowO2Setting(Config.O2Value);
    if (Form8->ShowModal() != mrOk) return;
    const int index = Form8->RadioGroup1->ItemIndex();
    ChooseO2(index == 0 ? 12 : index == 1 ? 11 : 0);
}

void TForm1::SlideChange(TObject*) { ChooseO2(Config.O2Value); }

void TForm1::epEfRndBtn2Click(TObject*)
{
    TPortCommand scope(this);
    if (!scope.Entered) return;
    if (!PauseForTransfer()) return;
    TWindowChanges changes;
    const int served = Config.ConfigureForController(Port, Config.O2Pending, changes);
    ApplyWindowChanges(changes);
    if (!served) {
        ShowStatus(Text(TextId::ControllerNotFound));
        PauseMonitor(false);
        return;
    }
    const std::string step = Text(TextId::UpdatingO2Change);
    ShowTransferStep(step);
    std::vector<uint8_t> table(size_t(std::max(Config.TableLength, TTableKind::TableSize())));
    // Only a table that arrived whole goes back, with the new setting; the
    // setting stays pending until it went out whole.
    bool written = false;
    if (Port.ReadTable(ButtonTable, table.data(), Config.TableLength) == TComPort::Ok) {
        table[O2Byte] = Config.O2Value;
        written = Port.WriteTable(ButtonTable, table.data(), Config.TableLength) == TComPort::Ok;
    }
    if (written) {
        Config.O2Pending = false;
    } else {
        ShowStatus(step + ": " + Text(TextId::CommunicationError));
    }
    PaintNow();
    PauseMonitor(false);
    Timer1->SetEnabled(false);
    Timer1->SetEnabled(true);
}
