// The skinned controls' painting cost on a real display: a 638 x 489
// buffer blended over its form, with a gradient face, a 9-slice image
// border and 20 see-through buffered children in a grid, in each family's
// way: the Ks styled panel with 20 windowed Ks children, and the media base
// with 20 windowless media children composed into its buffer. A full
// repaint (the big buffer, every child's buffer composed over it, and the
// window brought up to date) is timed beside a plain FillRect of the same
// window, in the same run, in alternating blocks. Prints figures; asserts
// none (it fails only when it could not paint at all).
//
// Then the tab control: a click on a tab until the table it shows (a grid
// refilled by OnChange) is on the screen, the styled tab control against
// the platform's tab control with the same grid, in alternating blocks.
// Then a track bar moved across its range a step at a time, as a drag
// moves it, until the moved thumb is on the screen, the styled track bar
// against the platform's.
//
// Last the form frames: a full repaint (frame and client area) of a framed,
// blended 638 x 489 form, and that form dragged by its caption and sized by
// its bottom-right corner with the mouse, a step at a time until the window
// is on the screen at its new place or size; each against a form in the
// platform's own frame, repainted, moved and sized the same way (the work
// a move or size loop does per step: the new bounds, then the repaint).
//
// And the popup menus: a right click on a control until its popup menu is
// painted on the screen, the styled popup menu with the main window's items
// and look against the platform's popup menu with the same items, in
// alternating blocks; each menu is closed (Esc, or EndMenu) before the next
// click.
#include "Application.h"
#include "BenchClock.h"
#include "BitmapLists.h"
#include "EpMenus.h"
#include "Framework.h"
#include "Grid.h"
#include "LeafForms.h"
#include "MenuForms.h"
#include "Panel.h"
#include "Panels.h"
#include "Reader.h"
#include "SkinClasses.h"
#include "TabControls.h"
#include "TrackBar.h"
#include "TrackBars.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Repaints = 100;
constexpr int Blocks = 3;
constexpr int Children = 20;
constexpr double FrameMs = 1000.0 / 60.0;

// What a see-through child shows of its own: an edge and a square.
template <class Bitmap>
void PaintChildFace(Bitmap* buffer, int w, int h)
{
    buffer->DrawEdge(RECT{0, 0, w, h}, 0xFFFFFFFFu, 0xFF404040u);
    buffer->FillRect(RECT{8, 8, 8 + w / 4, 8 + h / 4}, 0xFFC02020u);
}

class TBenchChild : public TKsCustomControl {
    GANTREL_CLASS(TBenchChild)
    explicit TBenchChild(TComponent* owner) : TKsCustomControl(owner) { SetTransparent(true); }
    int Paints = 0;

protected:
    void PaintBuffer() override
    {
        ++Paints;
        PaintChildFace(FBuffer, BoundsWidth(), BoundsHeight());
    }
};

// The media scene: the big buffer's face and frame drawn with the media
// family's styles.
class TMediaScene : public TMpCustomControl {
    GANTREL_CLASS(TMediaScene)
    explicit TMediaScene(TComponent* owner)
        : TMpCustomControl(owner), Background(new TMpMediaBackground), Border(new TMpMediaBorder)
    {
    }
    ~TMediaScene() override
    {
        delete Border;
        delete Background;
    }
    TMpMediaBackground* Background;
    TMpMediaBorder* Border;

protected:
    void PaintBuffer() override
    {
        const RECT all{0, 0, BoundsWidth(), BoundsHeight()};
        Background->Draw(FBuffer, all);
        Border->Draw(FBuffer, all);
    }
};

class TMediaChild : public TMpGraphicControl {
    GANTREL_CLASS(TMediaChild)
    explicit TMediaChild(TComponent* owner) : TMpGraphicControl(owner) { SetTransparent(true); }
    int Paints = 0;

protected:
    void PaintBuffer() override
    {
        ++Paints;
        PaintChildFace(FBuffer, BoundsWidth(), BoundsHeight());
    }
};

// The same window's plain answer: one FillRect of its client area.
class TPlainFill : public TCustomControl {
    GANTREL_CLASS(TPlainFill)
    explicit TPlainFill(TComponent* owner) : TCustomControl(owner) { ControlStyle |= csOpaque; }

protected:
    void Paint() override
    {
        Canvas()->Brush()->SetColor(TColor(RGB(40, 90, 160)));
        Canvas()->FillRect(ClientRect());
    }
};

// A 30 x 30 frame image: 10-pixel margins in two colours, a see-through centre.
template <class Bitmap>
Bitmap* FrameImage()
{
    auto* image = new Bitmap;
    image->SetSize(30, 30);
    image->Clear(0x00000000u);
    image->FillRect(RECT{0, 0, 30, 10}, 0xFF203060u);
    image->FillRect(RECT{0, 20, 30, 30}, 0xFF203060u);
    image->FillRect(RECT{0, 10, 10, 20}, 0xFF6080C0u);
    image->FillRect(RECT{20, 10, 30, 20}, 0xFF6080C0u);
    return image;
}


void RunLoop(int ms)
{
    const double start = NowMs();
    while (NowMs() - start < ms) {
        Application->ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void Redraw(TWinControl* window)
{
    RedrawWindow(window->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
}

// Refills the grid for the tab now selected, as the main window shows a table.
struct TTableFiller : TObject {
    TStringGrid* Grid = nullptr;
    int Selected = -1;
    int Fills = 0;
    void Fill(int tab)
    {
        Selected = tab;
        ++Fills;
        for (int r = 1; r < Grid->RowCount(); ++r)
            for (int c = 1; c < Grid->ColCount(); ++c) Grid->SetCells(c, r, std::to_string((tab + 1) * r * c % 256));
    }
    void SkinChange(TObject* sender) { Fill(static_cast<TKsCustomTabControl*>(sender)->TabIndex()); }
    void PlatformChange(TObject* sender) { Fill(static_cast<TTabControl*>(sender)->TabIndex()); }
};

TStringGrid* TableGrid(TForm* form, TWinControl* parent)
{
    auto* grid = new TStringGrid(form);
    grid->SetParent(parent);
    grid->SetBounds(4, 26, 490, 298);
    grid->SetColCount(7);
    grid->SetRowCount(10);
    grid->SetDefaultColWidth(45);
    grid->SetDefaultRowHeight(20);
    return grid;
}

// Clicks at the middle of rect and waits until the filler has the tab and
// the form is on the screen again; the time it took, or -1.
double ClickToPainted(TForm* form, TWinControl* tabs, const RECT& rect, int tab, const TTableFiller& filler)
{
    const int x = (rect.left + rect.right) / 2, y = (rect.top + rect.bottom) / 2;
    const double start = NowMs();
    PostMessageA(tabs->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(tabs->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    while (filler.Selected != tab) {
        Application->ProcessMessages();
        if (NowMs() - start > 1000) return -1;
    }
    Redraw(form);
    return NowMs() - start;
}

void TabBench()
{
    TForm* form = new TForm(nullptr, 0);
    form->SetBounds(40, 40, 560, 420);
    form->SetCaption("tab control benchmark");
    const char* captions[] = {"Fuel", "Ignition", "Fuel B1", "Fuel B2", "Ignition B1", "AT"};

    TTableFiller skinFiller, platformFiller;
    auto* skin = new TEpIITabControl(form);
    skin->SetParent(form);
    skin->SetBounds(4, 4, 500, 330);
    skin->SetHotTrack(true);
    skin->ActiveTabBackground()->SetColor(clBtnFace);
    skin->ActiveTabBackground()->SetGradientOrPlasmaColor(clWhite);
    skin->ActiveTabBackground()->SetStyle(ebsGradient);
    skin->InactiveTabBackground()->SetColor(clBtnFace);
    skin->InactiveTabBorder()->SetColor(clGray);
    for (const char* c : captions) skin->Tabs()->Add(c);
    skinFiller.Grid = TableGrid(form, skin);
    skin->OnChange = MakeEvent<&TTableFiller::SkinChange>(&skinFiller);

    auto* platform = new TTabControl(form);
    platform->SetParent(form);
    platform->SetBounds(4, 4, 500, 330);
    for (const char* c : captions) platform->Tabs()->Add(c);
    platformFiller.Grid = TableGrid(form, platform);
    platform->OnChange = MakeEvent<&TTableFiller::PlatformChange>(&platformFiller);
    platform->SetVisible(false);

    form->Show();
    RunLoop(300);
    std::vector<double> skinTimes, platformTimes;
    int failed = 0;
    for (int block = 0; block < Blocks; ++block) {
        skin->SetVisible(true);
        platform->SetVisible(false);
        RunLoop(50);
        for (int i = 0; i < Repaints / 2; ++i) {
            const int tab = 1 + i % 2;
            const double t = ClickToPainted(form, skin, skin->TabRect(tab), tab, skinFiller);
            if (t < 0) ++failed; else skinTimes.push_back(t);
        }
        skin->SetVisible(false);
        platform->SetVisible(true);
        RunLoop(50);
        for (int i = 0; i < Repaints / 2; ++i) {
            const int tab = 1 + i % 2;
            const double t = ClickToPainted(form, platform, platform->TabRect(tab), tab, platformFiller);
            if (t < 0) ++failed; else platformTimes.push_back(t);
        }
    }
    if (skinTimes.empty() || platformTimes.empty()) {
        std::printf("tab clicks: no click reached its tab control (%d lost)\n", failed);
    } else {
        Report("tab click to the new table painted, skinned:", skinTimes);
        Report("the same with the platform's tab control:", platformTimes);
        const double extra = Summary(skinTimes).Median - Summary(platformTimes).Median;
        std::printf("skinned minus platform: %.2f ms (median); within one frame: %s%s\n", extra,
                    extra <= FrameMs ? "yes" : "no", failed ? " (some clicks lost)" : "");
    }
    form->Free();
}

// Moves a track bar across its range a step at a time, as a drag does,
// each step timed until the moved thumb is on the screen.
template <class Bar>
void MoveAcross(Bar* bar, int range, std::vector<double>& times)
{
    bar->SetPosition(0);
    RunLoop(20);
    for (int p = 1; p <= range; ++p) {
        const double start = NowMs();
        bar->SetPosition(p);
        Redraw(bar);
        times.push_back(NowMs() - start);
    }
}

void TrackBarBench()
{
    TForm* form = new TForm(nullptr, 0);
    form->SetBounds(40, 40, 340, 160);
    form->SetCaption("track bar benchmark");
    constexpr int Width = 250, Range = 50;
    auto* skin = new TEpTrackBar(form);
    skin->SetParent(form);
    skin->SetBounds(10, 10, Width, 40);
    skin->SetMax(Range);
    auto* platform = new TTrackBar(form);
    platform->SetParent(form);
    platform->SetBounds(10, 70, Width, 40);
    platform->SetMax(Range);
    form->Show();
    RunLoop(300);
    std::vector<double> skinTimes, platformTimes;
    for (int block = 0; block < Blocks; ++block) {
        MoveAcross(skin, Range, skinTimes);
        MoveAcross(platform, Range, platformTimes);
    }
    Report("track bar moved a step and painted, skinned:", skinTimes);
    Report("the same with the platform's track bar:", platformTimes);
    const double extra = Summary(skinTimes).Median - Summary(platformTimes).Median;
    std::printf("skinned minus platform: %.2f ms (median); within one frame: %s\n", extra,
                extra <= FrameMs ? "yes" : "no");
    form->Free();
}


// --- Form frames -------------------------------------------------------------------

constexpr int FrameSteps = 40;

void RepaintWhole(TForm* form)
{
    RedrawWindow(form->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
}

// Until the window is where it should be and nothing is left to paint.
bool Settle(TForm* form, const RECT& want)
{
    const double start = NowMs();
    for (;;) {
        Application->ProcessMessages();
        RECT r;
        GetWindowRect(form->Handle(), &r);
        if (EqualRect(&r, &want)) break;
        if (NowMs() - start > 1000) return false;
    }
    UpdateWindow(form->Handle());
    GdiFlush();
    return true;
}

// The frame's mouse, as the platform delivers it: a press on the window at
// hit code hit, then the pointer moved (client messages under the capture
// the frame takes), each step timed; a released button at the end.
// Returns false when the window did not follow.
bool DragByMouse(TForm* form, int hit, POINT at, POINT step, bool size, std::vector<double>& times)
{
    const HWND w = form->Handle();
    RECT r;
    GetWindowRect(w, &r);
    SendMessageA(w, WM_NCLBUTTONDOWN, WPARAM(hit), MAKELPARAM(at.x, at.y));
    bool followed = true;
    for (int i = 1; i <= FrameSteps && followed; ++i) {
        const POINT p{at.x + step.x * i, at.y + step.y * i};
        const RECT want = size ? RECT{r.left, r.top, r.right + step.x * i, r.bottom + step.y * i}
                               : RECT{r.left + step.x * i, r.top + step.y * i, r.right + step.x * i,
                                      r.bottom + step.y * i};
        POINT c = p;
        ScreenToClient(w, &c);
        const double start = NowMs();
        SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.x, c.y));
        followed = Settle(form, want);
        times.push_back(NowMs() - start);
    }
    POINT c{at.x + step.x * FrameSteps, at.y + step.y * FrameSteps};
    ScreenToClient(w, &c);
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y));
    Application->ProcessMessages();
    return followed;
}

// The platform's frame, the same steps: new bounds, then the repaint.
void StepPlatform(TForm* form, POINT step, bool size, std::vector<double>& times)
{
    const HWND w = form->Handle();
    RECT r;
    GetWindowRect(w, &r);
    for (int i = 1; i <= FrameSteps; ++i) {
        const double start = NowMs();
        if (size)
            SetWindowPos(w, nullptr, 0, 0, r.right - r.left + step.x * i, r.bottom - r.top + step.y * i,
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
        else
            SetWindowPos(w, nullptr, r.left + step.x * i, r.top + step.y * i, 0, 0,
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
        UpdateWindow(w);
        Application->ProcessMessages();
        GdiFlush();
        times.push_back(NowMs() - start);
    }
}

void FrameBench()
{
    TForm* framed = new TForm(nullptr, 0);
    framed->SetBounds(30, 30, 638, 489);
    framed->SetCaption("framed form benchmark");
    auto* frame = new TEpForm(framed);
    frame->SetBlend(true);
    frame->SetBlendValue(220);
    frame->SetMagnetic(false);
    frame->GetBackground()->SetStyle(ebsGradient);
    frame->GetBackground()->SetColor(TColor(RGB(16, 48, 96)));
    frame->GetBackground()->SetGradientOrPlasmaColor(TColor(RGB(240, 192, 64)));
    TForm* platform = new TForm(nullptr, 0);
    platform->SetBounds(30, 30, 638, 489);
    platform->SetCaption("platform form benchmark");
    platform->SetColor(TColor(RGB(16, 48, 96)));

    std::vector<double> framedPaint, platformPaint, framedMove, platformMove, framedSize, platformSize;
    bool moved = true, sized = true;
    for (int block = 0; block < Blocks; ++block) {
        framed->SetBounds(30, 30, 638, 489);
        framed->Show();
        RunLoop(200);
        for (int i = 0; i < Repaints / 2; ++i) {
            const double start = NowMs();
            RepaintWhole(framed);
            framedPaint.push_back(NowMs() - start);
        }
        RECT r;
        GetWindowRect(framed->Handle(), &r);
        // The caption's middle, and the bottom-right corner.
        moved = DragByMouse(framed, HTCAPTION, POINT{r.left + 300, r.top + GetSystemMetrics(SM_CYFRAME) + 8},
                            POINT{3, 2}, false, framedMove) && moved;
        GetWindowRect(framed->Handle(), &r);
        sized = DragByMouse(framed, HTBOTTOMRIGHT, POINT{r.right - 2, r.bottom - 2}, POINT{-3, -2}, true,
                            framedSize) && sized;
        framed->Hide();

        platform->SetBounds(30, 30, 638, 489);
        platform->Show();
        RunLoop(200);
        for (int i = 0; i < Repaints / 2; ++i) {
            const double start = NowMs();
            RepaintWhole(platform);
            platformPaint.push_back(NowMs() - start);
        }
        StepPlatform(platform, POINT{3, 2}, false, platformMove);
        StepPlatform(platform, POINT{-3, -2}, true, platformSize);
        platform->Hide();
    }
    std::printf("frames: a %d x %d form, gradient client area, blended at 220\n", 638, 489);
    Report("framed, blended form repainted whole:", framedPaint);
    Report("the same form in the platform's frame:", platformPaint);
    Report("framed form dragged by the mouse, per step:", framedMove);
    Report("the platform's frame moved, per step:", platformMove);
    Report("framed form sized by the mouse, per step:", framedSize);
    Report("the platform's frame sized, per step:", platformSize);
    if (!moved) std::printf("the framed form did not follow every drag step\n");
    if (!sized) std::printf("the framed form did not follow every size step\n");
    for (const auto& [name, times] : {std::pair<const char*, const std::vector<double>*>{"repaint", &framedPaint},
                                      {"drag step", &framedMove},
                                      {"size step", &framedSize}})
        std::printf("framed %s within one frame (%.1f ms): %s\n", name, FrameMs,
                    Summary(*times).Median <= FrameMs ? "yes" : "no");
    framed->Free();
    platform->Free();
}


// --- Popup menus ---------------------------------------------------------------------

// The main window's table popup: its items and styles, without the handlers.
const char* PopupFormText = R"(object PopupBench: TPopupBenchForm
  Caption = 'popup menu benchmark'
  object SkinTarget: TPanel
    Left = 0
    Top = 0
    Width = 200
    Height = 200
    PopupMenu = EpPopupMenu1
  end
  object PlatformTarget: TPanel
    Left = 200
    Top = 0
    Width = 200
    Height = 200
    PopupMenu = PlatformMenu1
  end
  object EpPopupMenu1: TEpPopupMenu
    PopupBlend = False
    PopupBlendValue = 150
    DropShadow = True
    ShadowWidth = 4
    ShowAnimation = kaNone
    ShowAnimationTime = 300
    ItemBackground.Style = ebsGradient
    ItemBackground.Color = clGray
    ItemBackground.GradientOrPlasmaColor = clWhite
    ItemBackground.GradientStyle = egsLinear
    ItemBackground.GradientDirection = egdHorizontal
    ItemBorder.Style = ebsSingleBorder
    ItemBorder.Color = clBlack
    ItemBorder.Width = 0
    ItemFont.Charset = DEFAULT_CHARSET
    ItemFont.Color = clWindowText
    ItemFont.Height = -11
    ItemFont.Name = 'MS Sans Serif'
    ItemFont.Style = []
    PopupBackground.Style = ebsGradient
    PopupBackground.Color = clMenu
    PopupBackground.GradientOrPlasmaColor = clWhite
    PopupBackground.GradientStyle = egsLinear
    PopupBackground.GradientDirection = egdHorizontal
    PopupBorder.Style = ebsSingleBorder
    PopupBorder.Color = clGray
    PopupBorder.Width = 2
    object PopFVersion: TEpItem
      Caption = 'File Version:'
    end
    object N5: TEpItem
      Caption = '-'
    end
    object LoadFile1: TEpItem
      Caption = '&Load Map File'
    end
    object SaveFile1: TEpItem
      Caption = '&Save Map File'
    end
    object N6: TEpItem
      Caption = '-'
    end
    object Copy1: TEpItem
      Caption = '&Copy'
    end
    object Paste1: TEpItem
      Caption = '&Paste'
    end
    object SelectAll1: TEpItem
      Caption = 'Select &All'
    end
  end
  object PlatformMenu1: TPopupMenu
    object PPopFVersion: TMenuItem
      Caption = 'File Version:'
    end
    object PN5: TMenuItem
      Caption = '-'
    end
    object PLoadFile1: TMenuItem
      Caption = '&Load Map File'
    end
    object PSaveFile1: TMenuItem
      Caption = '&Save Map File'
    end
    object PN6: TMenuItem
      Caption = '-'
    end
    object PCopy1: TMenuItem
      Caption = '&Copy'
    end
    object PPaste1: TMenuItem
      Caption = '&Paste'
    end
    object PSelectAll1: TMenuItem
      Caption = 'Select &All'
    end
  end
end
)";

class TPopupBenchForm : public TForm {
    GANTREL_CLASS(TPopupBenchForm)
    explicit TPopupBenchForm(TComponent* owner) : TForm(owner, 0) {}
    TPanel* SkinTarget = nullptr;
    TPanel* PlatformTarget = nullptr;
    TEpPopupMenu* EpPopupMenu1 = nullptr;
    TPopupMenu* PlatformMenu1 = nullptr;
    static const TFormTable* Table()
    {
        static const TFormTable table = {
            {GANTREL_FIELD(TPopupBenchForm, SkinTarget), GANTREL_FIELD(TPopupBenchForm, PlatformTarget),
             GANTREL_FIELD(TPopupBenchForm, EpPopupMenu1), GANTREL_FIELD(TPopupBenchForm, PlatformMenu1)},
            {},
        };
        return &table;
    }
};

// One opening being timed: from the posted click until the menu's window is
// on the screen with nothing left to paint.
struct TPopupProbe {
    bool Active = false;
    double Start = 0;
    double Painted = -1;
};
TPopupProbe Probe;

BOOL CALLBACK FindSkinPopup(HWND window, LPARAM data)
{
    if (IsWindowVisible(window) && dynamic_cast<TKsPopupWindow*>(TWinControl::FindControl(window))) {
        *reinterpret_cast<HWND*>(data) = window;
        return FALSE;
    }
    return TRUE;
}

HWND SkinPopup()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindSkinPopup, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The styled menu runs its own loop over PeekMessage: each look at the
// queue checks whether the popup window is painted. After its WM_PAINT is
// taken, one WM_NULL behind it makes the loop look again as soon as that
// paint is through. Once painted, Esc (as the loop posts its own keys)
// closes it.
LRESULT CALLBACK SkinMenuWatch(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && Probe.Active && Probe.Painted < 0) {
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        if (wParam == PM_REMOVE && msg->message == WM_PAINT && msg->hwnd &&
            dynamic_cast<TKsPopupWindow*>(TWinControl::FindControl(msg->hwnd)))
            PostMessageA(msg->hwnd, WM_NULL, 0, 0);
        if (HWND popup = SkinPopup(); popup && !GetUpdateRect(popup, nullptr, FALSE)) {
            GdiFlush();
            Probe.Painted = NowMs() - Probe.Start;
            PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The platform's menu loop sends WM_ENTERIDLE once its window is up and
// painted and nothing else waits; EndMenu then cancels it.
LRESULT CALLBACK PlatformMenuWatch(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && Probe.Active && Probe.Painted < 0) {
        const CWPSTRUCT* c = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (c->message == WM_ENTERIDLE && c->wParam == MSGF_MENU && IsWindowVisible(reinterpret_cast<HWND>(c->lParam))) {
            GdiFlush();
            Probe.Painted = NowMs() - Probe.Start;
            EndMenu();
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A menu that never shows is closed after a while, so the run goes on.
void CALLBACK PopupTimeout(HWND, UINT, UINT_PTR, DWORD)
{
    if (Probe.Active && Probe.Painted < 0 && NowMs() - Probe.Start > 2000) {
        if (HWND popup = SkinPopup()) PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        EndMenu();
    }
}

// Right-clicks the middle of target and waits until the menu it opened has
// been painted and closed again; the time to painted, or -1.
double RightClickToPainted(TWinControl* target)
{
    const int x = target->Width() / 2, y = target->Height() / 2;
    Probe = TPopupProbe{true, NowMs(), -1};
    PostMessageA(target->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(x, y));
    PostMessageA(target->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(x, y));
    // The menu's loop runs inside this dispatch and returns when it closed.
    while (NowMs() - Probe.Start < 3000) {
        Application->ProcessMessages();
        if (Probe.Painted >= 0 && !SkinPopup()) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    Probe.Active = false;
    return Probe.Painted;
}

void PopupBench()
{
    RegisterSkinClasses();
    RegisterClasses<TPopupBenchForm>();
    auto* form = NewForm<TPopupBenchForm>(nullptr);
    ReadFormText(form, PopupFormText, TPopupBenchForm::Table());
    if (!form->SkinTarget || !form->PlatformTarget || !form->EpPopupMenu1 || !form->PlatformMenu1) {
        std::printf("popup menus: the benchmark's form did not load\n");
        form->Free();
        return;
    }
    form->SetBounds(120, 120, 420, 240);
    form->Show();
    SetForegroundWindow(form->Handle());
    RunLoop(300);
    const DWORD thread = GetCurrentThreadId();
    HHOOK skinHook = SetWindowsHookExA(WH_GETMESSAGE, &SkinMenuWatch, nullptr, thread);
    HHOOK platformHook = SetWindowsHookExA(WH_CALLWNDPROC, &PlatformMenuWatch, nullptr, thread);
    const UINT_PTR timer = SetTimer(nullptr, 0, 250, &PopupTimeout);
    std::vector<double> skinTimes, platformTimes;
    int lost = 0;
    for (int block = 0; block < Blocks; ++block) {
        for (auto [target, times] : {std::pair<TWinControl*, std::vector<double>*>{form->SkinTarget, &skinTimes},
                                     {form->PlatformTarget, &platformTimes}}) {
            for (int i = 0; i < Repaints / 5; ++i) {
                const double t = RightClickToPainted(target);
                if (t < 0) ++lost; else times->push_back(t);
                RunLoop(20);
            }
        }
    }
    KillTimer(nullptr, timer);
    if (platformHook) UnhookWindowsHookEx(platformHook);
    if (skinHook) UnhookWindowsHookEx(skinHook);
    if (skinTimes.empty() || platformTimes.empty()) {
        std::printf("popup menus: no right click opened %s (%d lost)\n",
                    skinTimes.empty() ? "the styled menu" : "the platform's menu", lost);
    } else {
        constexpr double PopupGoalMs = 50;
        Report("right click to the styled popup menu painted:", skinTimes);
        Report("the same with the platform's popup menu:", platformTimes);
        std::printf("styled popup painted within %.0f ms: %s%s\n", PopupGoalMs,
                    Summary(skinTimes).Median <= PopupGoalMs ? "yes" : "no", lost ? " (some clicks lost)" : "");
    }
    form->Free();
}

}  // namespace

int main()
{
    InitFramework();
    Application->Initialize();

    TForm* form = new TForm(nullptr, 0);
    form->SetBounds(20, 20, 700, 560);
    form->SetClientWidth(638);
    form->SetClientHeight(489);
    form->SetCaption("skinned controls benchmark");

    auto* list = new TEpBitmapList(form);
    list->Bitmaps()->Add(FrameImage<TKsBitmap>());

    auto* panel = new TEpPanel(form);
    panel->SetParent(form);
    panel->SetAlign(alClient);
    panel->SetCaption("Blended panel");
    panel->Background()->SetStyle(ebsGradient);
    panel->Background()->SetColor(TColor(RGB(16, 48, 96)));
    panel->Background()->SetGradientOrPlasmaColor(TColor(RGB(240, 192, 64)));
    panel->Border()->SetBitmaps(list);
    panel->Border()->SetBitmapIndex(0);
    panel->Border()->SetBitmapMarginX(10);
    panel->Border()->SetBitmapMarginY(10);
    panel->Border()->SetStyle(ebsBitmapBorder);
    panel->SetBlend(true);
    panel->SetBlendValue(220);

    std::vector<TBenchChild*> children;
    for (int i = 0; i < Children; ++i) {
        auto* child = new TBenchChild(form);
        child->SetParent(panel);
        child->SetBounds(16 + (i % 5) * 122, 40 + (i / 5) * 108, 110, 96);
        children.push_back(child);
    }

    auto* mediaList = new TMpMediaBitmapList(form);
    mediaList->Bitmaps()->Add(FrameImage<TKsMediaBitmap>());
    auto* media = new TMediaScene(form);
    media->SetParent(form);
    media->SetAlign(alClient);
    media->Background->SetStyle(ebsGradient);
    media->Background->SetColor(TColor(RGB(16, 48, 96)));
    media->Background->SetGradientOrPlasmaColor(TColor(RGB(240, 192, 64)));
    media->Border->SetBitmaps(mediaList);
    media->Border->SetBitmapIndex(0);
    media->Border->SetBitmapMarginX(10);
    media->Border->SetBitmapMarginY(10);
    media->Border->SetStyle(ebsBitmapBorder);
    media->SetBlend(true);
    media->SetBlendValue(220);
    std::vector<TMediaChild*> mediaChildren;
    for (int i = 0; i < Children; ++i) {
        auto* child = new TMediaChild(form);
        child->SetParent(media);
        child->SetBounds(16 + (i % 5) * 122, 40 + (i / 5) * 108, 110, 96);
        mediaChildren.push_back(child);
    }
    media->SetVisible(false);

    auto* plain = new TPlainFill(form);
    plain->SetParent(form);
    plain->SetAlign(alClient);
    plain->SetVisible(false);
    // The Ks scene's windows without the skin: what the platform alone costs.
    auto* plainWindows = new TPlainFill(form);
    plainWindows->SetParent(form);
    plainWindows->SetAlign(alClient);
    plainWindows->SetVisible(false);
    for (int i = 0; i < Children; ++i) {
        auto* child = new TPlainFill(form);
        child->SetParent(plainWindows);
        child->SetBounds(16 + (i % 5) * 122, 40 + (i / 5) * 108, 110, 96);
    }

    form->Show();
    RunLoop(300);
    if (!form->HandleAllocated() || children.front()->Paints == 0 || panel->Width() != 638 || panel->Height() != 489) {
        std::fprintf(stderr, "the form or its controls never painted (panel %d x %d)\n", panel->Width(),
                     panel->Height());
        form->Free();
        DoneFramework();
        return 1;
    }

    std::printf("goal: a full repaint within one 60 Hz frame (%.1f ms) under Wine\n", FrameMs);
    std::printf("scene: %d x %d blended panel, gradient face, 9-slice image border, %d see-through children\n",
                panel->Width(), panel->Height(), Children);

    std::vector<double> full, mediaTimes, fill, plainWindowTimes, panelOnly, childOnly, windowsOnly;
    auto only = [&](TWinControl* shown) {
        for (TWinControl* c : std::initializer_list<TWinControl*>{panel, media, plain, plainWindows})
            c->SetVisible(c == shown);
        RunLoop(50);
    };
    for (int block = 0; block < Blocks; ++block) {
        only(panel);
        for (int i = 0; i < Repaints; ++i) {
            const double start = NowMs();
            panel->Invalidate();
            for (TBenchChild* child : children) child->Invalidate();
            Redraw(form);
            full.push_back(NowMs() - start);
            Application->ProcessMessages();
        }
        for (int i = 0; i < Repaints / 4; ++i) {
            double start = NowMs();
            panel->Invalidate();
            panelOnly.push_back(NowMs() - start);
            start = NowMs();
            children[7]->Invalidate();
            childOnly.push_back(NowMs() - start);
            start = NowMs();
            Redraw(form);
            windowsOnly.push_back(NowMs() - start);
        }
        only(media);
        for (int i = 0; i < Repaints; ++i) {
            const double start = NowMs();
            media->Invalidate();
            for (TMediaChild* child : mediaChildren) child->Invalidate();
            Redraw(form);
            mediaTimes.push_back(NowMs() - start);
            Application->ProcessMessages();
        }
        only(plain);
        for (int i = 0; i < Repaints; ++i) {
            const double start = NowMs();
            plain->Invalidate();
            Redraw(form);
            fill.push_back(NowMs() - start);
            Application->ProcessMessages();
        }
        only(plainWindows);
        for (int i = 0; i < Repaints / 4; ++i) {
            const double start = NowMs();
            Redraw(form);
            plainWindowTimes.push_back(NowMs() - start);
            Application->ProcessMessages();
        }
    }
    if (mediaChildren.front()->Paints == 0) std::printf("the media children never painted\n");
    Report("Ks: blended panel and 20 windowed children:", full);
    Report("  the panel's buffer alone:", panelOnly);
    Report("  one child's buffer alone:", childOnly);
    Report("  the 21 windows brought to the screen alone:", windowsOnly);
    Report("Mp: blended base and 20 windowless children:", mediaTimes);
    Report("the same window, one plain FillRect:", fill);
    Report("  21 plain windows like the Ks scene's, FillRect each:", plainWindowTimes);
    const TTimes k = Summary(full), m = Summary(mediaTimes), p = Summary(fill);
    for (const auto& [name, t] : {std::pair<const char*, TTimes>{"Ks", k}, {"Mp", m}})
        std::printf("%s full repaint / plain fill: %.1f x (median); within one frame: %s\n", name,
                    p.Median > 0 ? t.Median / p.Median : 0.0, t.Median <= FrameMs ? "yes" : "no");

    form->Free();
    TabBench();
    TrackBarBench();
    FrameBench();
    PopupBench();
    DoneFramework();
    return 0;
}
