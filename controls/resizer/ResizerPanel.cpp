#include "ResizerPanel.h"

#include "Grid.h"
#include "Reader.h"
#include "StatusBar.h"

#include <algorithm>
#include <cmath>

namespace {
// Stored double times the ratio, truncated toward zero (never rounded).
int Scale(double stored, float ratio)
{
    return int(std::trunc(stored * double(ratio)));
}

// Whether the panel sets this control's font itself: on the panel, or with
// a font of its own (a control inside a container follows its container).
bool OwnFont(TResizerPanel* panel, TWinControl* parent, TControl* control)
{
    return parent == panel || !control->ParentFont();
}
}  // namespace

TResizerPanel::TResizerPanel(TComponent* owner) : TPanel(owner)
{
    DoubleBuffered = true;
    SetParentFont(false);
}

TResizerPanel::~TResizerPanel()
{
    BeginDestroy();
    ClearAll();
}

void TResizerPanel::Loaded()
{
    TPanel::Loaded();
    Initialize();
}

void TResizerPanel::Initialize()
{
    FDesignHeight = Height();
    FDesignWidth = Width();
    Active = true;
    FControlData.assign(size_t(ControlCount()), TControlData());
    FHasSnapshot = true;
    LoadChildren(this, FControlData);
}

void TResizerPanel::LoadChildren(TWinControl* parent, std::vector<TControlData>& data)
{
    for (int i = 0; i < parent->ControlCount() && i < int(data.size()); ++i) LoadChild(parent->Controls(i), data[size_t(i)]);
}

void TResizerPanel::LoadChild(TControl* control, TControlData& r)
{
    r.Top = control->Top();
    r.Left = control->Left();
    r.Height = control->Height();
    r.Width = control->Width();
    r.FontSize = control->Font()->Size();
    r.ColCount = r.RowCount = 0;
    auto* win = dynamic_cast<TWinControl*>(control);
    if (win) win->DoubleBuffered = true;
    if (auto* grid = dynamic_cast<TCustomGrid*>(control)) {
        r.ColCount = grid->ColCount();
        r.RowCount = grid->RowCount();
        r.DefaultColWidth = grid->DefaultColWidth();
        r.DefaultRowHeight = grid->DefaultRowHeight();
        r.GridLineWidth = grid->GridLineWidth();
        r.ColWidths.assign(size_t(r.ColCount), 0);
        r.RowHeights.assign(size_t(r.RowCount), 0);
        for (int i = 0; i < r.ColCount; ++i) r.ColWidths[size_t(i)] = grid->ColWidths(i);
        for (int j = 0; j < r.RowCount; ++j) r.RowHeights[size_t(j)] = grid->RowHeights(j);
    }
    if (auto* bar = dynamic_cast<TStatusBar*>(control); bar && !bar->SimplePanel()) {
        r.Children.assign(size_t(bar->Panels()->Count()), TControlData());
        for (int k = 0; k < bar->Panels()->Count(); ++k) r.Children[size_t(k)].Width = bar->Panels()->Items(k)->Width();
    }
    if (win && win->ControlCount() > 0) {
        r.Children.assign(size_t(win->ControlCount()), TControlData());
        LoadChildren(win, r.Children);
    }
}

void TResizerPanel::Dispatch(TMessage& m)
{
    // The size message is the snapshot's alone: no re-aligning of children.
    if (m.Msg == WM_SIZE) {
        WMSize(m);
        return;
    }
    TPanel::Dispatch(m);
}

void TResizerPanel::WMSize(TMessage& m)
{
    if (!Active || m.WParam == SIZE_MINIMIZED || (ComponentState() & csDesigning)) return;
    FNewWidth = LOWORD(m.LParam);
    FNewHeight = HIWORD(m.LParam);
    // A design size of zero has no ratio to scale by.
    if (FDesignWidth <= 0 || FDesignHeight <= 0) return;
    HWND window = Handle();
    SendMessageA(window, WM_SETREDRAW, 0, 0);
    if (FHasSnapshot) AdjustChildren(this, FControlData);
    SendMessageA(window, WM_SETREDRAW, 1, 0);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_ALLCHILDREN | RDW_FRAME);
    if (OnManualResize)
        OnManualResize(float(FNewHeight) / float(FDesignHeight), float(FNewWidth) / float(FDesignWidth));
}

void TResizerPanel::AdjustChildren(TWinControl* parent, std::vector<TControlData>& data)
{
    const float sy = float(FNewHeight) / float(FDesignHeight);
    const float sx = float(FNewWidth) / float(FDesignWidth);
    const float s = sy < sx ? sy : sx;
    const int count = std::min(parent->ControlCount(), int(data.size()));
    for (int i = 0; i < count; ++i) {
        TControl* control = parent->Controls(i);
        TControlData& r = data[size_t(i)];
        bool move = true, resize = true;
        if (OnCanChildResize) OnCanChildResize(control, move, resize);
        if (resize) {
            auto* win = dynamic_cast<TWinControl*>(control);
            if (auto* grid = dynamic_cast<TCustomGrid*>(control)) {
                // Every grid metric follows the width; only the lines the smaller ratio.
                if (OwnFont(this, parent, control)) control->Font()->SetSize(Scale(r.FontSize, sx));
                grid->SetDefaultColWidth(Scale(r.DefaultColWidth, sx));
                grid->SetDefaultRowHeight(Scale(r.DefaultRowHeight, sx));
                grid->SetGridLineWidth(std::max(1, Scale(r.GridLineWidth, s)));
                for (int k = 0; k < r.ColCount && k < grid->ColCount(); ++k)
                    grid->SetColWidths(k, Scale(r.ColWidths[size_t(k)], sx));
                for (int k = 0; k < r.RowCount && k < grid->RowCount(); ++k)
                    grid->SetRowHeights(k, Scale(r.RowHeights[size_t(k)], sx));
            } else if (OwnFont(this, parent, control)) {
                control->Font()->SetSize(Scale(r.FontSize, s));
            }
            if (win) {
                if (win->ControlCount() > 0 && !r.Children.empty()) AdjustChildren(win, r.Children);
                if (auto* bar = dynamic_cast<TStatusBar*>(control); bar && !bar->SimplePanel()) {
                    int panels = std::min(bar->Panels()->Count(), int(r.Children.size()));
                    for (int k = 0; k < panels; ++k) bar->Panels()->Items(k)->SetWidth(Scale(r.Children[size_t(k)].Width, sx));
                }
            }
            control->SetWidth(Scale(r.Width, sx));
            control->SetHeight(Scale(r.Height, sy));
        }
        if (move) {
            control->SetTop(Scale(r.Top, sy));
            control->SetLeft(Scale(r.Left, sx));
        }
    }
}

void TResizerPanel::RefreshSizes(TControl* control)
{
    if (!FHasSnapshot || !control) return;
    if (control == this)
        UpdateChildren(this, FControlData);
    else
        RefreshComponent(this, FControlData, control);
}

bool TResizerPanel::RefreshComponent(TWinControl* parent, std::vector<TControlData>& data, TControl* control)
{
    const int count = std::min(parent->ControlCount(), int(data.size()));
    for (int i = 0; i < count; ++i) {
        TControl* c = parent->Controls(i);
        if (c == control) {
            UpdateChild(control, data[size_t(i)]);
            return true;
        }
        auto* win = dynamic_cast<TWinControl*>(c);
        if (win && !data[size_t(i)].Children.empty() && RefreshComponent(win, data[size_t(i)].Children, control))
            return true;
    }
    return false;
}

void TResizerPanel::UpdateChildren(TWinControl* parent, std::vector<TControlData>& data)
{
    const int count = std::min(parent->ControlCount(), int(data.size()));
    for (int i = 0; i < count; ++i) UpdateChild(parent->Controls(i), data[size_t(i)]);
}

void TResizerPanel::CheckWidth(double& stored, int actual)
{
    double current = std::max(1, Width());
    if (std::fabs(stored / FDesignWidth - actual / current) > 0.01) stored = FDesignWidth * actual / current;
}

void TResizerPanel::CheckHeight(double& stored, int actual)
{
    double current = std::max(1, Height());
    if (std::fabs(stored / FDesignHeight - actual / current) > 0.01) stored = FDesignHeight * actual / current;
}

void TResizerPanel::CheckBoth(double& stored, int actual)
{
    double design = std::min(FDesignHeight, FDesignWidth);
    double current = std::max(1, std::min(Height(), Width()));
    if (design <= 0) return;
    if (std::fabs(stored / design - actual / current) > 0.01) stored = design * actual / current;
}

void TResizerPanel::UpdateChild(TControl* control, TControlData& r)
{
    if (FDesignWidth <= 0 || FDesignHeight <= 0) return;
    TWinControl* parent = control->Parent();
    bool ownFont = parent == this || !control->ParentFont();
    auto* win = dynamic_cast<TWinControl*>(control);
    if (auto* grid = dynamic_cast<TCustomGrid*>(control)) {
        if (ownFont) CheckWidth(r.FontSize, control->Font()->Size());
        CheckWidth(r.DefaultColWidth, grid->DefaultColWidth());
        CheckWidth(r.DefaultRowHeight, grid->DefaultRowHeight());
        CheckBoth(r.GridLineWidth, grid->GridLineWidth());
        for (int k = 0; k < r.ColCount && k < grid->ColCount(); ++k) CheckWidth(r.ColWidths[size_t(k)], grid->ColWidths(k));
        for (int k = 0; k < r.RowCount && k < grid->RowCount(); ++k) CheckWidth(r.RowHeights[size_t(k)], grid->RowHeights(k));
    } else if (ownFont) {
        CheckBoth(r.FontSize, control->Font()->Size());
    }
    if (win && win->ControlCount() > 0 && !r.Children.empty()) UpdateChildren(win, r.Children);
    if (auto* bar = dynamic_cast<TStatusBar*>(control); bar && !bar->SimplePanel()) {
        int panels = std::min(bar->Panels()->Count(), int(r.Children.size()));
        for (int k = 0; k < panels; ++k) CheckWidth(r.Children[size_t(k)].Width, bar->Panels()->Items(k)->Width());
    }
    CheckHeight(r.Height, control->Height());
    CheckWidth(r.Width, control->Width());
    CheckHeight(r.Top, control->Top());
    CheckWidth(r.Left, control->Left());
}

void TResizerPanel::ClearAll()
{
    FControlData.clear();
    FHasSnapshot = false;
}

bool TResizerPanel::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Active") Active = reader.ReadBool();
    else if (name == "OnManualResize") OnManualResize = reader.ReadEvent<TManualResizeEvent>();
    else if (name == "OnCanChildResize") OnCanChildResize = reader.ReadEvent<TCanChildResizeEvent>();
    else return TPanel::ReadProperty(name, reader);
    return true;
}

void RegisterResizerClasses()
{
    RegisterClass<TResizerPanel>();
}
