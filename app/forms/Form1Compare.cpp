// The compare command: opens the compare window on the shown table.
#include "Form1.h"

#include "CompairForm.h"
#include "Form14.h"

bool TForm1::IdentifyForCompare()
{
    uint8_t flags = 0;
    const int version = Port.GetVersion(flags);
    if (version < 0) return false;
    if (version == Config.ControllerVersion) return true;
    // Another unit than the one the monitor configured for: configure for
    // it as the monitor would, and let the monitor find it again after.
    TWindowChanges changes;
    const int served = Config.ConfigureForController(Port, true, changes);
    ApplyWindowChanges(changes);
    if (changes.PauseMs) Sleep(DWORD(changes.PauseMs));
    RedetectRequest = true;
    return served != 0;
}

void TForm1::Button3Click(TObject*)
{
    TPortCommand scope(this);
    if (!scope.Entered) return;
    // The notes window keeps the map to itself while it is open.
    if (NotesWindow) return;
    if (!FileLoaded) {
        ShowStatus(Text(130));
        return;
    }
    if (!PauseForTransfer()) return;
    if (!IdentifyForCompare()) {
        ShowStatus(Text(TextId::ControllerNotFound));
        PauseMonitor(false);
        return;
    }
    const int compatibility = Config.CheckCompatibility();
    if (compatibility < 0) {
        ShowStatus(Text(237));
        PauseMonitor(false);
        return;
    }
    // Opening asks every time, with the upload's wording; the window's own
    // navigation asks its "Continue compare?" once a run.
    if (compatibility == 0 && MessageDlg(Text(234), mtConfirmation, mbYesNo) != mrYes) {
        PauseMonitor(false);
        return;
    }
    PauseMonitor(false);

    int position = 0;
    if (Config.ControllerVersion == 2) {
        Form14->Prepare(Text(TextId::CompareCaption), TextId::CompareToPosition1, Language.GetBase());
        if (Form14->ShowModal() != mrOk) return;
        position = Form14->ChosenPosition();
    }

    if (!CompareWindow) {
        ComparePosition = position;
        Button1->SetEnabled(false);
        CompareWindowOpen = true;
        CompareWindow = NewForm<TCompairForm>(this);
    } else if (position != ComparePosition) {
        // What the window holds came from another position.
        ComparePosition = position;
        CompareWindow->CompareAgain();
    }
    CompareWindow->Show();
}
