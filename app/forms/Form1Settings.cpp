// The main window's settings: read while it is built, written when it closes.
#include "Form1.h"

#include "IniFiles.h"
#include "SysUtils.h"

#include <algorithm>
#include <climits>

void SetStoredBounds(TCustomForm* form, int left, int top, int width, int height, int defaultWidth,
                     int defaultHeight)
{
    if (width <= 0) width = defaultWidth;
    if (height <= 0) height = defaultHeight;
    auto end = [](int start, int length) { return LONG(std::min<long long>(LONG_MAX, 1LL * start + length)); };
    RECT stored = {left, top, end(left, width), end(top, height)};
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    // Stored on a monitor since unplugged, or by a laptop off its dock.
    if (!MonitorFromRect(&stored, MONITOR_DEFAULTTONULL) &&
        GetMonitorInfoA(MonitorFromRect(&stored, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        width = std::min(width, int(work.right - work.left));
        height = std::min(height, int(work.bottom - work.top));
        left = std::clamp(left, int(work.left), int(work.right) - width);
        top = std::clamp(top, int(work.top), int(work.bottom) - height);
    }
    form->SetBounds(left, top, width, height);
}

void TForm1::LoadSettings()
{
    TIniFile ini(SettingsPath);
    int state = ini.ReadInteger("FormState", "State", 0);
    if (state != 2) {
        SetStoredBounds(this, ini.ReadInteger("FormPlacement", "Left", 0), ini.ReadInteger("FormPlacement", "Top", 0),
                        ini.ReadInteger("FormPlacement", "Width", 638),
                        ini.ReadInteger("FormPlacement", "Height", 489), 638, 489);
    }
    SetWindowState(state == 1 ? wsMinimized : state == 2 ? wsMaximized : wsNormal);

    // Read before a port is chosen: the monitor's configuration uses them.
    Config.TpSetting = ini.ReadBool("Advanced", "TPSet", true);
    Config.CylinderTrimSetting = ini.ReadBool("Custom", "CylinderTrim", true);

    int port = ini.ReadInteger("ComPort", "Port", -1);
    if (port == 0)
        None1Click(this);
    else if (port == -1)
        Auto1Click(this);
    else if (port >= 1 && port <= 8)
        SelectPort(port);

    if (ini.ReadBool("Advanced", "Advanced", false)) Advanced1Click(this);
    NoLimit = ini.ReadBool("Custom", "NoLimit", false);
    ResetButtons = ini.ReadBool("Advanced", "ResetButtons", true);
    LogtoFile1->SetVisible(ini.ReadBool("Custom", "Log", false));
    MapDirectory = ini.ReadString("Settings", "MapDir", ExeDirectory());
}

void TForm1::SaveSettings()
{
    TIniFile ini(SettingsPath);
    TWindowState state = WindowState();
    ini.WriteInteger("FormState", "State", state == wsMinimized ? 1 : state == wsMaximized ? 2 : 0);
    if (state != wsMaximized) {
        // While minimised, the restored placement (the minimised window
        // itself sits far off the screen). That one is in work-area
        // coordinates, the bounds are in screen coordinates.
        RECT r = BoundsRect();
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof placement;
        RECT work = {};
        if (state == wsMinimized && HandleAllocated() && GetWindowPlacement(Handle(), &placement) &&
            SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
            r = placement.rcNormalPosition;
            OffsetRect(&r, work.left, work.top);
        }
        ini.WriteInteger("FormPlacement", "Height", r.bottom - r.top);
        ini.WriteInteger("FormPlacement", "Width", r.right - r.left);
        ini.WriteInteger("FormPlacement", "Top", r.top);
        ini.WriteInteger("FormPlacement", "Left", r.left);
    }
    std::string port = "0";
    if (Auto1->Checked())
        port = "-1";
    else if (PortOpenName.size() > 3)
        port = PortOpenName.substr(3);
    ini.WriteString("ComPort", "Port", port);
    ini.WriteBool("Advanced", "Advanced", Advanced1->Checked());
    ini.WriteBool("Advanced", "ResetButtons", ResetButtons);
    ini.WriteString("Settings", "MapDir", MapDirectory);
}

void TForm1::Font1Click(TObject*)
{
    FontDialog1->Font()->Assign(UiFont);
    if (!FontDialog1->Execute()) return;
    TIniFile ini(SettingsPath);
    ini.WriteString("Font", "Name", FontDialog1->Font()->Name());
    ini.WriteInteger("Font", "CharSet", FontDialog1->Font()->Charset());
    ini.WriteInteger("Font", "Size", FontDialog1->Font()->Size());
}
