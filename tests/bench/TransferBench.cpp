// Upload All and Get All of a four-table map against the simulated
// controller paced at the real 2400 baud on COM1 (a '2' unit), driven by
// the main window's own buttons, against the wire limit with the waits the
// transfers demand. Also counts the status texts the window painted while
// its thread was busy. Prints figures; asserts none.
#include "Application.h"
#include "BenchClock.h"
#include "EmiStringGrid.h"
#include "Form1.h"
#include "Form10.h"
#include "Form14.h"
#include "Form8.h"
#include "Framework.h"
#include "GantOpenDialog.h"
#include "MonitorThread.h"
#include "ResizerPanel.h"
#include "SettingsFile.h"
#include "SkinClasses.h"
#include "SimulatorControl.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int Tables = 4;
constexpr int TableBytes = 288;
constexpr double TableWaitMs = 250;  // before every table command
constexpr double ReadBackWaitMs = 250;
constexpr double EndWaitMs = 500;
// An 'R' that a '2' unit leaves unanswered costs the read's whole time-out.
constexpr double SilentIdentifyMs = 250 + 8 * 16;

struct TPaintLog {
    TForm1* Form = nullptr;
    std::vector<std::string> Texts;
    std::vector<double> Times;
    void Note(HWND window, UINT message)
    {
        if (message != WM_PAINT || !Form || !Form->Label1->Parent()) return;
        if (window != Form->Label1->Parent()->Handle()) return;
        std::string text = Form->Label1->Caption();
        if (!Texts.empty() && Texts.back() == text) return;
        Texts.push_back(text);
        Times.push_back(NowMs());
    }
} PaintLog;

LRESULT CALLBACK SentHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        auto* sent = reinterpret_cast<CWPSTRUCT*>(lParam);
        PaintLog.Note(sent->hwnd, sent->message);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK QueuedHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        auto* queued = reinterpret_cast<MSG*>(lParam);
        PaintLog.Note(queued->hwnd, queued->message);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool RunUntil(const std::function<bool()>& done, int ms)
{
    double start = NowMs();
    while (NowMs() - start < ms) {
        Application->ProcessMessages();
        if (done()) return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return done();
}

// A '2' unit's map (model 1): four tables, 13 rows, 9 columns.
std::string MapBytes()
{
    const int tables = 4, rows = 13, columns = 9;
    const std::string notes = "transfer benchmark";
    std::vector<int32_t> w = {201, tables, rows, columns, 12, 1, 0, 0x04030201, 0, 0, 1001, int32_t(notes.size()),
                              4 * (13 + columns + rows * (1 + tables * columns))};
    for (int c = 0; c < columns; ++c) w.push_back(10 + 10 * c);
    for (int r = 0; r < rows; ++r) {
        w.push_back(500 * (r + 1));
        // Ignition stays 0 below its 4000 RPM floor.
        for (int t = 0; t < tables; ++t)
            for (int c = 0; c < columns; ++c) w.push_back(t == 3 && r < 8 ? 0 : (t + r + c) % 7 - 3);
    }
    std::string bytes;
    for (int32_t v : w)
        for (int i = 0; i < 4; ++i) bytes += char(uint32_t(v) >> (8 * i));
    return bytes + notes;
}

void Report(const char* what, double measured, double limit)
{
    std::printf("%-40s %8.0f ms   limit %8.0f ms   %+6.1f %%\n", what, measured, limit,
                (measured - limit) * 100.0 / limit);
}

// Clicks the button and times the transfer; the status texts painted meanwhile.
double Time(TForm1* form, TButton* button, const std::string& done)
{
    PaintLog.Texts.clear();
    PaintLog.Times.clear();
    form->Label1->SetCaption("");
    double start = NowMs();
    PostMessageA(button->Handle(), BM_CLICK, 0, 0);
    RunUntil([&] { return form->Label1->Caption() == done; }, 60000);
    return NowMs() - start;
}

void ReportPaints(const char* what, int expected)
{
    double longest = 0;
    for (size_t i = 1; i < PaintLog.Times.size(); ++i)
        longest = std::max(longest, PaintLog.Times[i] - PaintLog.Times[i - 1]);
    int shown = 0;
    for (const std::string& t : PaintLog.Texts)
        if (!t.empty()) ++shown;
    std::printf("%-40s %d status texts painted (%d steps), longest gap %.0f ms\n", what, shown, expected, longest);
}

}  // namespace

int main()
{
    TSimulator sim("COM1");
    if (!sim.Available()) {
        std::fprintf(stderr, "no simulator on COM1 (GANTREL_SIM_COM1)\n");
        return 1;
    }
    sim.Ok("replug");
    sim.Ok("reset");
    sim.Ok("pace on");
    sim.Ok("version 50");

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    SettingsFileOverride() = std::string(temp) + "gantrel_transfer_bench.ini";
    DeleteFileA(SettingsFileOverride().c_str());
    WritePrivateProfileStringA("ComPort", "Port", "1", SettingsFileOverride().c_str());
    // The tables alone: no button reset after the upload.
    WritePrivateProfileStringA("Advanced", "ResetButtons", "0", SettingsFileOverride().c_str());
    const std::string mapPath = std::string(temp) + "gantrel_transfer_bench.map";
    {
        std::ofstream out(mapPath, std::ios::binary | std::ios::trunc);
        out << MapBytes();
    }

    InitFramework();
    RegisterGridControlClasses();
    RegisterResizerClasses();
    RegisterOpenDialogClasses();
    RegisterSkinClasses();
    Application->Initialize();
    Form8 = NewForm<TForm8>(Application);
    Form10 = NewForm<TForm10>(Application);
    Form14 = NewForm<TForm14>(Application);
    TForm1* form = NewForm<TForm1>(Application);
    form->Show();
    PaintLog.Form = form;

    int result = 0;
    if (!form->LoadMapFile(mapPath)) {
        std::printf("the map does not load\n");
        result = 1;
    } else if (!RunUntil([form] { return form->LinkCounter == 0 && form->Config.ControllerVersion == 50; }, 20000)) {
        std::printf("no '2' unit within 20 s\n");
        result = 1;
    } else {
        form->CurrentFileName = mapPath;
        form->ShowLoadedMap(mapPath);
        HHOOK sent = SetWindowsHookExA(WH_CALLWNDPROC, SentHook, nullptr, GetCurrentThreadId());
        HHOOK queued = SetWindowsHookExA(WH_GETMESSAGE, QueuedHook, nullptr, GetCurrentThreadId());

        const double identify = SilentIdentifyMs + 12 * ByteMs;
        const double writeMs = TableWaitMs + (1 + TableBytes) * ByteMs;
        const double readMs = TableWaitMs + (1 + TableBytes) * ByteMs;
        const double upload = identify + Tables * (writeMs + ReadBackWaitMs + readMs) + EndWaitMs;
        const double get = identify + Tables * readMs;

        std::printf("Transfers of %d tables at 2400 baud 8N1 (%.3f ms a byte), paced '2' unit\n", Tables, ByteMs);
        double up = Time(form, form->Button9, "Tables sent and verified");
        if (form->Label1->Caption() != "Tables sent and verified") {
            std::printf("Upload All did not verify: %s\n", form->Label1->Caption().c_str());
            result = 1;
        }
        Report("Upload All", up, upload);
        Report("  per table (less identify, end wait)", (up - identify - EndWaitMs) / Tables,
               writeMs + ReadBackWaitMs + readMs);
        ReportPaints("  while uploading:", 2 * Tables + 1);

        double down = Time(form, form->Button10, "Maps Retrieved Successfully");
        if (form->Label1->Caption() != "Maps Retrieved Successfully") {
            std::printf("Get All failed: %s\n", form->Label1->Caption().c_str());
            result = 1;
        }
        Report("Get All", down, get);
        Report("  per table (less identify)", (down - identify) / Tables, readMs);
        ReportPaints("  while getting:", Tables + 1);

        UnhookWindowsHookEx(sent);
        UnhookWindowsHookEx(queued);
    }

    sim.Ok("pace off");
    form->MapEdited = false;
    form->NotesEdited = false;
    form->Free();
    DoneFramework();
    DeleteFileA(SettingsFileOverride().c_str());
    DeleteFileA(mapPath.c_str());
    return result;
}
