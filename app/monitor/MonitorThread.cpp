#include "MonitorThread.h"

#include "Form1.h"
#include "Rounding.h"
#include "SysUtils.h"

#include <cstdio>
#include <ctime>

namespace {
// The link counter while no controller has been found since detection began.
constexpr int Searching = 1001;

// O2 setting code of the 'R' reply, as shown.
int O2Code(uint8_t b)
{
    return b == 12 ? 2 : b == 11 ? 1 : b == 0 ? 0 : -int(b);
}
}  // namespace

TMonitorThread::TMonitorThread(TForm1* form) : Form(form)
{
    SetPriority(tpLower);
}

void TMonitorThread::PauseCheckpoint()
{
    Running = true;
    for (;;) {
        // Suspended is held still too, and says so: a pause requested while
        // the thread is suspended (after a search that found nothing, with
        // its request already cleared) is acknowledged at once instead of
        // waiting for a thread that cannot move.
        while ((PauseRequest || Suspended()) && !Terminated()) {
            PauseAcknowledged = true;
            if (Suspended())
                CheckSuspended();
            else
                Sleep(PauseSleepMs);
        }
        PauseAcknowledged = false;
        // A new request (or suspension) that came between the release and
        // clearing the acknowledgement may already have seen it: honour it.
        if ((!PauseRequest && !Suspended()) || Terminated()) break;
    }
}

void TMonitorThread::Wait(int ms)
{
    // In slices, so that a pause request or the end is answered at once.
    DWORD end = GetTickCount() + DWORD(ms);
    while (!Terminated() && !PauseRequest && int(end - GetTickCount()) > 0) Sleep(10);
}

void TMonitorThread::Execute()
{
    TConfiguration& config = Form->Config;
    Form->LinkCounter = Searching;
    Running = false;
    bool ownRedetect = false;
    while (!Terminated()) {
        PauseCheckpoint();
        if (Form->RedetectRequest.exchange(false)) {
            Form->LinkCounter = Searching;
            // A search the user asked for (another port) starts afresh.
            if (!ownRedetect) ReturnPending = false;
        }
        ownRedetect = false;
        if (Form->LinkCounter != Searching) {
            Lost = 1;
            ReturnPending = true;
            Synchronize([this] { ShowLinkStatus(); });
        }
        Synchronize([this] {
            Form->PopGNVersion->SetCaption(Form->Text(451) + " " + Form->Text(TextId::NotAvailable));
            Form->PopFirmVersion->SetCaption(Form->Text(453) + " " + Form->Text(TextId::NotAvailable));
            Form->SetTP1->SetVisible(false);
        });

        int version = -1;
        uint8_t flags = 0;
        while (Form->LinkCounter >= 2 && !Terminated() && !Form->RedetectRequest) {
            PauseCheckpoint();
            version = Form->Port.GetVersion(flags);
            if (version < 0) {
                ownRedetect = true;
                Form->RedetectRequest = true;
                Wait(1000);
                continue;
            }
            TWindowChanges changes;
            int served = config.ConfigureForController(Form->Port, true, changes);
            Synchronize([this, &changes] { Form->ApplyWindowChanges(changes); });
            if (changes.PauseMs) Wait(changes.PauseMs);
            if (served) {
                if (Form->LinkCounter != Searching || ReturnPending) {
                    Lost = 0;
                    ReturnPending = false;
                    Synchronize([this] { ShowLinkStatus(); });
                }
                Form->LinkCounter = 0;
                break;
            }
            Wait(1000);
        }
        if (Form->LinkCounter != 0) continue;

        Synchronize([this, version, flags] {
            Form->PopGNVersion->SetCaption(Form->Text(451) + " " + std::to_string(version));
            Form->PopFirmVersion->SetCaption(Form->Text(453) + " " + std::to_string(flags & 0x0F));
        });
        config.ManifoldPressure = (flags & 0x80) != 0;
        for (int32_t& v : Values) v = 0;

        while (Form->LinkCounter <= 1 && !Terminated() && !Form->RedetectRequest) {
            PauseCheckpoint();
            if (Form->RedetectRequest) break;
            bool known = (version >= 0 && version <= 2) || (version >= 49 && version <= 54) || version == 99 ||
                         (version >= 100 && version <= 148);
            if (!known) {
                Form->RedetectRequest = true;
                break;
            }
            if (Poll(version, flags)) {
                Form->LinkCounter = 0;
                Failed = 0;
                Synchronize([this] { ShowLiveValues(); });
            } else {
                Failed = 1;
                Synchronize([this] { ShowLiveValues(); });
                Form->LinkCounter = Form->LinkCounter + 1;
            }
        }
    }
}

bool TMonitorThread::Poll(int version, uint8_t)
{
    TComPort& port = Form->Port;
    TConfiguration& config = Form->Config;
    const bool old = version >= 49 && version <= 99;
    // Kept between polls: bytes a short reply leaves out keep their last value.
    static thread_local uint8_t reply[16] = {};
    const int length = old ? TComPort::OldIdentifyLength : TComPort::IdentifyLength;
    uint8_t command = old ? 'D' : 'R';
    port.Purge();
    if (port.Write(1, &command) != 1) return false;
    if (port.Read(length, reply) == 0) return false;
    Form->LinkCounter = 0;

    TTableKind& tp = Form->Kinds.Tp;
    const TTableSet& set = config.ControllerSet;
    auto setValue = [this](int index, int value) {
        if (index >= 0 && index < 6) Values[index] = value;
    };

    if (old) {
        int period = reply[0] | reply[1] << 8;
        if (period == 0) period = 1;
        double rpm = TTableKind::RpmFromPeriod(period);
        Values[0] = rpm > 499 ? TruncToInt(rpm) : 0;
        Values[1] = RoundHalfAway(tp.LiveTp(reply[9]));
        for (int e = 0; e < set.Count && e < 4; ++e) {
            const TTableEntry& entry = set[e];
            int w = entry.WireTable;
            if (!entry.Kind || w < 0 || w > 5) continue;
            setValue(entry.LiveIndex, RoundHalfAway(entry.Kind->LiveByte(reply[9 - w], reply[5 - w])));
        }
        return true;
    }

    int model = reply[13];
    bool accepted = version <= 2 ? model == version : (model >= 100 && model <= 149) || model == 1;
    if (!accepted) return false;
    int period = reply[3] | reply[4] << 8;
    if (period == 0) period = 1;
    double rpm = TTableKind::RpmFromPeriod(version <= 2 ? period * config.PeriodMultiplier : period);
    Values[0] = rpm > 499 ? TruncToInt(rpm) : 0;
    Values[1] = TruncToInt(tp.LiveTp(reply[12]) + 0.5);

    const TTableEntry& e0 = set[0];
    const TTableEntry& e1 = set[1];
    if (!e0.Kind || !e1.Kind) return true;
    setValue(e0.LiveIndex, TruncToInt(e0.Kind->LivePair(reply[12], reply[8])));
    if (version == 0) {
        setValue(e0.LiveIndex + 2, TruncToInt(e0.Kind->LiveRate(reply[14], reply[15]) / period));
        setValue(e1.LiveIndex, TruncToInt(e1.Kind->LivePair(reply[11], reply[7])));
        return true;
    }
    setValue(e0.LiveIndex + 1, TruncToInt(e0.Kind->LiveRate(reply[14], reply[15]) / period));
    if (config.ManifoldPressure) setValue(e1.LiveIndex, TruncToInt(e1.Kind->LiveByte(reply[11], reply[7])));
    if (version == 2)
        Values[5] = reply[0] + 1;
    else if (config.O2Shown)
        Values[4] = O2Code(reply[5]);
    return true;
}

void TMonitorThread::ShowLinkStatus()
{
    if (Lost == 1) {
        Form->ShowStatus(Form->Text(232));
        LostReported = true;
    } else {
        Form->ShowStatus(Form->Text(233));
    }
    Form->Repaint();
}

void TMonitorThread::ShowLiveValues()
{
    TLabel* labels[6] = {Form->RpmVal, Form->TPosVal, Form->FuelChVal, Form->TPosOutVal, Form->ManChgVal, Form->IgnVal};
    if (Failed == 1) {
        for (int i = 0; i < 6; ++i) {
            Values[i] = 0;
            labels[i]->SetCaption("-----");
        }
    } else {
        labels[0]->SetCaption(Values[0] < 500 ? "-----" : std::to_string(Values[0]));
        for (int i = 1; i < 6; ++i) labels[i]->SetCaption(std::to_string(Values[i]));
    }
    Form->MonitorPanel->Repaint();
    if (!Form->Logging) return;
    std::FILE* log = std::fopen(LogFileName.c_str(), "a+");
    if (!log) return;
    double seconds = double(std::clock() - Form->LoggingStart) * 0.001;
    std::fprintf(log, "%f %d %d %d %d %d %d\n", seconds, Values[0], Values[1], Values[2], Values[3], Values[4], Values[5]);
    std::fclose(log);
}
