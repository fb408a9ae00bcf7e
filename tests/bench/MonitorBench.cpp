// Live-value polling against the simulated controller paced at the real
// 2400 baud on COM1: the main window connects as it does for a user, then
// for a while the controller's transcript counts the polls while the
// user-interface thread notes its longest stall. Once for an 'R' unit and
// once for a 'D' unit. Prints figures; asserts none.
#include "Application.h"
#include "Framework.h"
#include "EmiStringGrid.h"
#include "Form1.h"
#include "Form10.h"
#include "GantOpenDialog.h"
#include "ResizerPanel.h"
#include "SettingsFile.h"
#include "SkinClasses.h"
#include "BenchClock.h"
#include "SimulatorControl.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sstream>

namespace {

constexpr int MeasureMs = 8000;

// Runs the message loop for ms; the longest single turn of it, in ms.
double RunLoop(int ms, const std::function<bool()>& until = nullptr)
{
    double longest = 0, start = NowMs();
    while (NowMs() - start < ms) {
        double turn = NowMs();
        Application->ProcessMessages();
        longest = std::max(longest, NowMs() - turn);
        if (until && until()) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return longest;
}

bool Live(TForm1* form)
{
    std::string rpm = form->RpmVal->Caption();
    return form->LinkCounter == 0 && !rpm.empty() && rpm != "-----";
}

int CountCommands(const std::string& transcript, int command)
{
    std::istringstream words(transcript);
    std::string word;
    int count = 0;
    while (words >> word)
        if (word == std::to_string(command)) ++count;
    return count;
}

void Measure(TSimulator& sim, TForm1* form, const char* unit, char command, int replyBytes)
{
    if (!Live(form) && !(RunLoop(20000, [form] { return Live(form); }), Live(form))) {
        std::printf("%s unit: no live values within 20 s\n", unit);
        return;
    }
    sim.Ok("clear");
    double start = NowMs();
    double stall = RunLoop(MeasureMs);
    double elapsed = NowMs() - start;
    int polls = CountCommands(sim.Ok("transcript"), command);
    double wireMs = (1 + replyBytes) * ByteMs;
    double rate = polls * 1000.0 / elapsed, limit = 1000.0 / wireMs;
    std::printf("%s unit: %d polls in %.0f ms = %.2f/s; wire limit %.2f/s (%d bytes, %.1f ms): %.1f %%\n", unit, polls,
                elapsed, rate, limit, 1 + replyBytes, wireMs, 100.0 * rate / limit);
    std::printf("%s unit: longest user-interface stall %.1f ms\n", unit, stall);
}

}  // namespace

int main()
{
    TSimulator sim("COM1");
    if (!sim.Available()) {
        std::fprintf(stderr, "no simulator on COM1 (GANTREL_SIM_COM1)\n");
        return 1;
    }
    sim.Ok("reset");
    sim.Ok("pace on");
    sim.Ok("version 105");

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    SettingsFileOverride() = std::string(temp) + "gantrel_monitor_bench.ini";
    WritePrivateProfileStringA("ComPort", "Port", "1", SettingsFileOverride().c_str());

    InitFramework();
    RegisterGridControlClasses();
    RegisterResizerClasses();
    RegisterOpenDialogClasses();
    RegisterSkinClasses();
    Application->Initialize();
    Form10 = NewForm<TForm10>(Application);
    TForm1* form = NewForm<TForm1>(Application);
    form->Show();

    Measure(sim, form, "'R' (version 105)", 'R', 16);
    // A 'D' unit: the link is lost, and the search finds the new unit.
    sim.Ok("version 49");
    RunLoop(3000);
    Measure(sim, form, "'D' (version 49)", 'D', 11);

    form->Free();
    DoneFramework();
    DeleteFileA(SettingsFileOverride().c_str());
    return 0;
}
