// Port selection and connection: the "Port" menus, the connect timer, and
// the user-interface side of the monitor's pause handshake.
#include "Form1.h"

#include "Application.h"
#include "MonitorThread.h"
#include "SysUtils.h"

#include <ctime>

namespace {
const char* const OpenNames[8] = {"com1", "com2", "com3", "com4", "com5", "com6", "com7", "com8"};
const char* const DisplayNames[8] = {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"};

// Long enough for the slowest exchange the monitor can be inside (an
// identification with replies that run into every time-out).
constexpr DWORD PauseBoundMs = 4000;
}  // namespace

void TForm1::CheckPortItem(int port)
{
    TMenuItem* mainItems[10] = {Com11, Com21, Com31, Com41, Com51, Com61, Com71, Com81, None1, Auto1};
    TEpItem* popupItems[10] = {Com12, Com22, Com32, Com42, Com52, Com62, Com72, Com82, None2, Auto2};
    for (int i = 0; i < 10; ++i) {
        mainItems[i]->SetChecked(i == port);
        popupItems[i]->SetChecked(i == port);
    }
}

void TForm1::SelectPort(int n)
{
    // A monitor that will not let go keeps the port it has.
    if (MonitorThread->Running && !PauseForTransfer()) return;
    Accepted = false;
    CheckPortItem(n - 1);
    PortOpenName = OpenNames[n - 1];
    PortDisplayName = DisplayNames[n - 1];
    RedetectRequest = true;
    ChosenByUser = true;
    Timer2->SetInterval(50);
    Timer2->SetEnabled(true);
}

void TForm1::PortItemClick(int n)
{
    TPortCommand scope(this);
    if (scope.Entered) SelectPort(n);
}

void TForm1::Com11Click(TObject*) { PortItemClick(1); }
void TForm1::Com21Click(TObject*) { PortItemClick(2); }
void TForm1::Com31Click(TObject*) { PortItemClick(3); }
void TForm1::Com41Click(TObject*) { PortItemClick(4); }
void TForm1::Com51Click(TObject*) { PortItemClick(5); }
void TForm1::Com61Click(TObject*) { PortItemClick(6); }
void TForm1::Com71Click(TObject*) { PortItemClick(7); }
void TForm1::Com81Click(TObject*) { PortItemClick(8); }

void TForm1::ShowNoLiveValues()
{
    for (TLabel* label : {RpmVal, TPosVal, FuelChVal, TPosOutVal, ManChgVal, IgnVal}) label->SetCaption("-----");
}

void TForm1::Timer2Timer(TObject*)
{
    // The port is another command's until it ends: tried again on the next tick.
    if (TransferActive) return;
    Timer2->SetEnabled(false);
    // A command run since the last try let the monitor go: it is held again
    // before the port is closed and reopened under it, and stays held until
    // a try is accepted. A command started while the hold pumps messages is
    // refused with the busy text.
    TPortCommand scope(this);
    if (!PauseMonitor(true)) {
        Timer2->SetInterval(2500);
        Timer2->SetEnabled(true);
        return;
    }
    AcceptComClick(this);
    ChosenByUser = false;
    if (Accepted) {
        MonitorThread->Resume();
        PauseMonitor(false);
        return;
    }
    ShowNoLiveValues();
    Timer2->SetInterval(2500);
    Timer2->SetEnabled(true);
}

void TForm1::AcceptComClick(TObject*)
{
    Port.Purge();
    Port.Close();
    bool opened = !PortOpenName.empty() && Port.Open(PortOpenName.c_str()) != 0;
    uint8_t flags = 0;
    int version = opened ? Port.GetVersion(flags) : -1;
    if (opened && version >= 0) {
        SetStatusPanel(2, Text(212) + " " + PortDisplayName);
        ShowStatus(Text(202) + " " + PortDisplayName);
        Accepted = true;
        return;
    }
    // The connect timer's retries stay quiet.
    if (!ChosenByUser) return;
    if (opened) {
        SetStatusPanel(2, Text(212) + " " + PortDisplayName);
        ShowStatus(PortDisplayName + " " + Text(231));
    } else {
        ShowStatus(Text(33) + " " + PortDisplayName + " " + Text(34));
        SetStatusPanel(2, Text(205));
    }
    Accepted = false;
}

void TForm1::None1Click(TObject*)
{
    TPortCommand scope(this);
    if (scope.Entered) ReleasePort();
}

bool TForm1::ReleasePort()
{
    if (MonitorThread->Running && !PauseForTransfer()) return false;
    Timer2->SetEnabled(false);
    CheckPortItem(8);
    PortOpenName.clear();
    MonitorThread->Suspend();
    Accepted = false;
    ShowNoLiveValues();
    Port.Purge();
    Port.Close();
    SetStatusPanel(2, Text(205));
    ShowStatus(Text(235));
    return true;
}

void TForm1::Auto1Click(TObject*)
{
    TPortCommand scope(this);
    if (!scope.Entered) return;
    // The monitor lets go of the port before the search takes it over, and
    // a pending connect attempt must not reopen it behind the search.
    if (MonitorThread->Running && !PauseForTransfer()) return;
    Timer2->SetEnabled(false);
    ChosenByUser = false;
    CheckPortItem(9);
    Accepted = false;
    for (int k = 1; k <= 8 && !Accepted; ++k) {
        PortOpenName = OpenNames[k - 1];
        PortDisplayName = DisplayNames[k - 1];
        MonitorThread->Suspend();
        AcceptComClick(this);
        if (Accepted) {
            CheckPortItem(k - 1);
            // The unit found may not be the one the monitor knew.
            RedetectRequest = true;
            MonitorThread->Resume();
            PauseMonitor(false);
        }
    }
    if (!Accepted) {
        CheckPortItem(8);
        PortOpenName.clear();
        Port.Purge();
        Port.Close();
        MonitorThread->Suspend();
        PauseMonitor(false);
        ShowStatus(Text(218));
        SetStatusPanel(2, Text(205));
    }
    ChosenByUser = true;
}

bool TForm1::PauseMonitor(bool pause)
{
    if (!MonitorThread->Running) return true;
    if (!pause) {
        MonitorThread->PauseRequest = false;
        return true;
    }
    MonitorThread->PauseRequest = true;
    // Bounded in time, not in spins: on a fast machine a spin count runs out
    // while the monitor is still inside a read.
    DWORD start = GetTickCount();
    while (!MonitorThread->PauseAcknowledged && GetTickCount() - start < PauseBoundMs) {
        Application->ProcessMessages();
        Sleep(1);
    }
    ShowNoLiveValues();
    MonitorPanel->Repaint();
    return MonitorThread->PauseAcknowledged;
}

bool TForm1::PortCommandMayStart()
{
    if (!TransferActive) return true;
    MessageBeep(0);
    ShowStatus(Text(TextId::MonitorBusy));
    return false;
}

bool TForm1::PauseForTransfer()
{
    if (PauseMonitor(true)) return true;
    PauseMonitor(false);
    ShowStatus(Text(TextId::MonitorBusy));
    return false;
}

void TForm1::LogtoFile1Click(TObject*)
{
    Logging = !Logging;
    LogtoFile1->SetChecked(Logging);
    LoggingStart = std::clock();
    MonitorThread->LogFileName = ExeDirectory() + "log.dat";
}
