#include "TrackBars.h"

#include "Reader.h"
#include "SkinGeometry.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <initializer_list>

namespace {

RECT Shrunk(const RECT& r, int n)
{
    return RECT{r.left + n, r.top + n, r.right - n, r.bottom - n};
}

// To nearest, ties to even (the default rounding mode; SSE in both builds).
double RoundEven(double v)
{
    return std::nearbyint(v);
}

}  // namespace

TKsCustomTrackBar::TKsCustomTrackBar(TComponent* owner) : TKsCustomControl(owner)
{
    ControlStyle |= csCaptureMouse;
    SetBounds(Left(), Top(), 150, 45);
    SetTabStop(true);
}

// --- Properties ---------------------------------------------------------------------

void TKsCustomTrackBar::SetPosition(int value)
{
    if (Loading()) {
        // Kept inside the range once the whole range is read.
        FPosition = value;
        return;
    }
    // The test comes before the clamping: a step beyond the bound the
    // position sits on still reports a change.
    if (value == FPosition) return;
    FPosition = std::clamp(value, FMin, FMax);
    Invalidate();
    Change();
}

void TKsCustomTrackBar::RangeRead()
{
    if (FRangeRead) return;
    FRangeRead = true;
    FMinBeforeLoad = FMin;
    FMaxBeforeLoad = FMax;
}

void TKsCustomTrackBar::SetMin(int value)
{
    if (Loading()) {
        // Min and Max come in the resource's order; the pair counts once
        // both are read.
        RangeRead();
        FMin = value;
        return;
    }
    if (value == FMin || value >= FMax) return;
    FMin = value;
    if (FPosition < FMin) SetPosition(FMin);
    Invalidate();
}

void TKsCustomTrackBar::SetMax(int value)
{
    if (Loading()) {
        RangeRead();
        FMax = value;
        return;
    }
    if (value == FMax || value <= FMin) return;
    FMax = value;
    if (FPosition > FMax) SetPosition(FMax);
    Invalidate();
}

void TKsCustomTrackBar::Loaded()
{
    TKsCustomControl::Loaded();
    if (FRangeRead && FMin >= FMax) {
        // No range at all: what the setters would have kept of it, taken
        // in the order the properties are stored (Max first).
        const int readMin = FMin, readMax = FMax;
        FMin = FMinBeforeLoad;
        FMax = FMaxBeforeLoad;
        if (readMax != FMax && readMax > FMin) FMax = readMax;
        if (readMin != FMin && readMin < FMax) FMin = readMin;
    }
    FRangeRead = false;
    FPosition = std::clamp(FPosition, FMin, FMax);
    Invalidate();
}

void TKsCustomTrackBar::SetOrientation(TTrackOrientation value)
{
    if (value == FOrientation) return;
    FOrientation = value;
    if (ComponentState() & csDesigning) {
        const bool swap = value == toHorizontal ? Height() > Width() : Width() > Height();
        if (swap) SetBounds(Left(), Top(), Height(), Width());
    }
    Invalidate();
}

void TKsCustomTrackBar::SetFrequency(int value)
{
    // Frequency divides the tick values.
    if (value == FFrequency || value < 1) return;
    FFrequency = value;
    Invalidate();
}

void TKsCustomTrackBar::SetThumbVisible(bool value)
{
    if (value == FThumbVisible) return;
    FThumbVisible = value;
    Invalidate();
}

void TKsCustomTrackBar::SetThumbHalfWidth(uint16_t value)
{
    if (value == FThumbHalfWidth) return;
    FThumbHalfWidth = value;
    Invalidate();
}

void TKsCustomTrackBar::SetTickMarks(TTickMark value)
{
    if (value == FTickMarks) return;
    FTickMarks = value;
    Invalidate();
}

void TKsCustomTrackBar::SetShowTicks(bool value)
{
    if (value == FShowTicks) return;
    FShowTicks = value;
    Invalidate();
}

void TKsCustomTrackBar::SetIntervalHighlightType(TIntervalHighlightType value)
{
    if (value == FIntervalHighlightType) return;
    FIntervalHighlightType = value;
    Invalidate();
}

void TKsCustomTrackBar::Change()
{
    if (OnChange) OnChange(this);
}

// --- Geometry -----------------------------------------------------------------------

int TKsCustomTrackBar::GetThumbWidth()
{
    return 2 * int(FThumbHalfWidth) + 1;
}

int TKsCustomTrackBar::GetSideMargin()
{
    return 9;
}

int TKsCustomTrackBar::GetTopBottomMargin()
{
    return 7;
}

int TKsCustomTrackBar::ThumbLength()
{
    return int(RoundEven(GetThumbWidth() * 2.2));
}

int TKsCustomTrackBar::ThumbTop()
{
    const bool topTicks = FShowTicks && (FTickMarks == tmBoth || FTickMarks == tmTopLeft);
    return GetTopBottomMargin() + (topTicks ? 5 : 0);
}

int TKsCustomTrackBar::TrackLength()
{
    return Horizontal() ? FBoundsWidth : FBoundsHeight;
}

int TKsCustomTrackBar::UsableLength()
{
    // A bar too short for its thumb has no travel (and nothing to divide by).
    return std::max(0, TrackLength() - 2 * GetSideMargin() - GetThumbWidth());
}

int TKsCustomTrackBar::PositionCoordinate(int value)
{
    if (FMax == FMin) return 0;
    const long long product = (static_cast<long long>(value) - FMin) * UsableLength();
    const double range = double(static_cast<long long>(FMax) - FMin);
    return GetSideMargin() + GetThumbWidth() / 2 + int(RoundEven(double(product) / range));
}

int TKsCustomTrackBar::CoordinatePosition(int coordinate)
{
    const int u = UsableLength();
    if (u <= 0) return FMin;
    const long long product = (static_cast<long long>(coordinate) - GetSideMargin() - GetThumbWidth() / 2) *
                              (static_cast<long long>(FMax) - FMin);
    // Min is added before the rounding.
    const double v = RoundEven(double(product) / u + FMin);
    return int(std::clamp(v, double(FMin), double(FMax)));
}

RECT TKsCustomTrackBar::TrackStripRect(int start, int end)
{
    const int tw = GetThumbWidth(), h = tw / 2, q = tw / 4, tl = ThumbLength();
    const bool topTicks = FShowTicks && (FTickMarks == tmBoth || FTickMarks == tmTopLeft);
    int s0 = GetTopBottomMargin() + (FTickMarks == tmTopLeft ? h : q) + (topTicks ? 5 : 0);
    int s1;
    if (FTickMarks != tmBoth) {
        s1 = tl + s0 - h - q;
    } else {
        s1 = tl + s0 - 2 * q;
        ++s0;
        --s1;
    }
    return Horizontal() ? RECT{start, s0, end, s1} : RECT{s0, start, s1, end};
}

RECT TKsCustomTrackBar::HighlightRect(int start, int end, int thumbPos)
{
    RECT r = TrackStripRect(start, end);
    const int from = FIntervalHighlightType == htLowInterval ? start : thumbPos;
    const int to = FIntervalHighlightType == htLowInterval ? thumbPos : end;
    if (Horizontal()) {
        r.left = from;
        r.right = to;
    } else {
        r.top = from;
        r.bottom = to;
    }
    return r;
}

bool TKsCustomTrackBar::ThumbShape(int c, POINT p[5], RECT& rect)
{
    const int tw = GetThumbWidth(), h = tw / 2, tl = ThumbLength(), t0 = ThumbTop();
    const int a = c - h, b = a + tw - 1;
    rect = Horizontal() ? RECT{a, t0, a + tw, t0 + tl} : RECT{t0, a, t0 + tl, a + tw};
    if (FTickMarks == tmBoth) return false;
    auto set = [&](std::initializer_list<POINT> points) { std::copy(points.begin(), points.end(), p); };
    if (Horizontal()) {
        if (FTickMarks == tmBottomRight)
            set({{a, t0}, {b, t0}, {b, t0 + tl - h - 1}, {c, t0 + tl - 1}, {a, t0 + tl - h - 1}});
        else
            set({{c, t0}, {b, t0 + h}, {b, t0 + tl - 1}, {a, t0 + tl - 1}, {a, t0 + h}});
    } else {
        if (FTickMarks == tmBottomRight)
            set({{t0, a}, {t0 + tl - h - 1, a}, {t0 + tl - 1, c}, {t0 + tl - h - 1, b}, {t0, b}});
        else
            set({{t0 + h, a}, {t0 + tl - 1, a}, {t0 + tl - 1, b}, {t0 + h, b}, {t0, c}});
    }
    return true;
}

bool TKsCustomTrackBar::PtInThumb(int x, int y)
{
    POINT points[5];
    RECT rect;
    const POINT p{x, y};
    if (ThumbShape(PositionCoordinate(FPosition), points, rect)) return PointInPolygon(p, points, 4);
    return PtInRect(&rect, p) != 0;
}

// --- Painting -----------------------------------------------------------------------

void TKsCustomTrackBar::PaintBackground()
{
    TKsCustomControl::PaintBackground();
    if (FFocused) FBuffer->DrawFocusRect(RECT{0, 0, FBoundsWidth, FBoundsHeight}, KsColors::ckBlack);
    const int sm = GetSideMargin();
    DrawTrack(sm, TrackLength() - sm, PositionCoordinate(FPosition));
    DrawTicks();
    GdiFlush();
}

void TKsCustomTrackBar::PaintBuffer()
{
    DrawThumb(PositionCoordinate(FPosition));
    GdiFlush();
}

void TKsCustomTrackBar::DrawTrack(int start, int end, int thumbPos)
{
    const RECT strip = TrackStripRect(start, end);
    FBuffer->FillRect(strip, KColor(Enabled() ? clBtnHighlight : clBtnFace, 255));
    if (Enabled() && FIntervalHighlightType != htNone)
        FBuffer->FillRect(HighlightRect(start, end, thumbPos), KColor(clHighlight, 255));
    FBuffer->DrawEdge(strip, KColor(clBtnShadow, 255), KColor(clBtnHighlight, 255));
    FBuffer->DrawEdge(Shrunk(strip, 1), KColor(cl3DDkShadow, 255), KColor(cl3DLight, 255));
}

void TKsCustomTrackBar::DrawThumb(int c)
{
    if (!FThumbVisible) return;
    const TKColor highlight = KColor(clBtnHighlight, 255), face = KColor(clBtnFace, 255),
                  shadow = KColor(clBtnShadow, 255), dark = KColor(cl3DDkShadow, 255);
    POINT p[5];
    RECT rect;
    if (!ThumbShape(c, p, rect)) {
        if (FDragging)
            FBuffer->FillHalftoneRect(rect, highlight, face);
        else
            FBuffer->FillRect(rect, face);
        FBuffer->DrawEdge(rect, highlight, KsColors::ckBlack);
        FBuffer->DrawEdge(Shrunk(rect, 1), face, shadow);
        return;
    }
    if (FDragging)
        FBuffer->FillHalftonePolygon(p, 5, highlight, face);
    else
        FBuffer->FillPolygon(p, 5, face);
    // The outline: a move, then lines without their end points.
    auto stroke = [&](TKColor color, std::initializer_list<POINT> points) {
        auto it = points.begin();
        FBuffer->MoveTo(it->x, it->y);
        for (++it; it != points.end(); ++it) FBuffer->LineTo(it->x, it->y, color);
    };
    const int tw = GetThumbWidth(), h = tw / 2, tl = ThumbLength(), t0 = ThumbTop(), a = c - h;
    if (Horizontal() && FTickMarks == tmBottomRight) {
        stroke(highlight, {{a + tw - 2, t0}, {a, t0}, {a, t0 + tl - h - 1}, {a + h, t0 + tl - 1}});
        stroke(shadow, {{a + tw - 2, t0 + 1}, {a + tw - 2, t0 + tl - h - 1}, {a + h - 1, t0 + tl - 1}});
        stroke(dark, {{a + tw - 1, t0}, {a + tw - 1, t0 + tl - h - 1}, {a + h - 1, t0 + tl}});
    } else if (Horizontal()) {
        stroke(highlight, {{a, t0 + tl - 2}, {a, t0 + h}, {a + h, t0}});
        stroke(shadow, {{a + h, t0 + 1}, {a + tw - 2, t0 + h}, {a + tw - 2, t0 + tl - 2}, {a, t0 + tl - 2}});
        stroke(dark, {{a + h, t0}, {a + tw - 1, t0 + h}, {a + tw - 1, t0 + tl - 1}, {a - 1, t0 + tl - 1}});
    } else if (FTickMarks == tmBottomRight) {
        stroke(highlight, {{t0, a + tw - 2}, {t0, a}, {t0 + tl - h - 1, a}, {t0 + tl - 1, a + h}});
        stroke(shadow, {{t0 + tl - 2, a + h}, {t0 + tl - h - 1, a + tw - 2}, {t0, a + tw - 2}});
        stroke(dark, {{t0 + tl - 1, a + h}, {t0 + tl - h - 1, a + tw - 1}, {t0 - 1, a + tw - 1}});
    } else {
        stroke(highlight, {{t0 + 1, a + h - 1}, {t0 + h, a}, {t0 + tl - 1, a}});
        stroke(shadow, {{t0 + tl - 2, a + 1}, {t0 + tl - 2, a + tw - 2}, {t0 + h, a + tw - 2}, {t0, a + h - 1}});
        stroke(dark, {{t0 + tl - 1, a}, {t0 + tl - 1, a + tw - 1}, {t0 + h, a + tw - 1}, {t0 - 1, a + h - 1}});
    }
}

void TKsCustomTrackBar::DrawTickLine(int value, int c, bool topLeft, TKColor color)
{
    const int m = GetTopBottomMargin();
    const bool end = value == FMin || value == FMax;
    int from, to;
    if (topLeft) {
        // Upward (leftward), from inside the margin.
        from = m + 3;
        to = end ? m - 1 : m;
    } else {
        from = m + ThumbLength() + (FTickMarks == tmBoth ? 6 : 2);
        to = from + (end ? 4 : 3);
    }
    if (Horizontal()) {
        FBuffer->MoveTo(c, from);
        FBuffer->LineTo(c, to, color);
    } else {
        FBuffer->MoveTo(from, c);
        FBuffer->LineTo(to, c, color);
    }
}

void TKsCustomTrackBar::DrawTick(int value, int coordinate, bool topLeft)
{
    DrawTickLine(value, coordinate, topLeft, KsColors::ckBlack);
}

template <class Tick>
void TKsCustomTrackBar::ForEachTick(Tick tick)
{
    const long long lo = FMin, hi = FMax, f = FFrequency;
    tick(FMin, PositionCoordinate(FMin));
    // The first multiple of Frequency above Min (division rounded down).
    long long q = lo / f;
    if (q * f > lo) --q;
    long long v = (q + 1) * f;
    while (v < hi) {
        const int c = PositionCoordinate(int(v));
        tick(int(v), c);
        // More ticks than pixels: the multiples that land on c again would
        // draw the same line, so go straight to the first that does not.
        const long long last = (hi - 1 - v) / f;  // v + k * f < Max for k <= last
        if (last < 1) break;
        long long k = 1;
        if (PositionCoordinate(int(v + f)) == c) {
            if (PositionCoordinate(int(v + last * f)) == c) break;
            long long same = 1, other = last;
            while (other - same > 1) {
                const long long mid = same + (other - same) / 2;
                if (PositionCoordinate(int(v + mid * f)) == c)
                    same = mid;
                else
                    other = mid;
            }
            k = other;
        }
        v += k * f;
    }
    if (FMax != FMin) tick(FMax, PositionCoordinate(FMax));
}

void TKsCustomTrackBar::DrawTicks()
{
    if (!FShowTicks) return;
    if (FTickMarks == tmTopLeft || FTickMarks == tmBoth)
        ForEachTick([this](int v, int c) { DrawTick(v, c, true); });
    if (FTickMarks == tmBottomRight || FTickMarks == tmBoth)
        ForEachTick([this](int v, int c) { DrawTick(v, c, false); });
}

// --- Input ----------------------------------------------------------------------------

void TKsCustomTrackBar::StepBy(long long delta)
{
    const long long v = static_cast<long long>(FPosition) + delta;
    SetPosition(int(std::clamp<long long>(v, INT_MIN, INT_MAX)));
}

void TKsCustomTrackBar::KeyDown(WORD& key, TShiftState)
{
    switch (key) {
    case VK_PRIOR: StepBy(-static_cast<long long>(FPageSize)); break;
    case VK_NEXT: StepBy(FPageSize); break;
    case VK_END: SetPosition(FMax); break;
    case VK_HOME: SetPosition(FMin); break;
    case VK_LEFT:
    case VK_UP: StepBy(-static_cast<long long>(FLineSize)); break;
    case VK_RIGHT:
    case VK_DOWN: StepBy(FLineSize); break;
    }
}

void TKsCustomTrackBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TKsCustomControl::MouseDown(button, shift, x, y);
    if (CanFocus()) SetFocus();
    if (button != mbLeft) return;
    if (PtInThumb(x, y)) {
        FDragging = true;
        Invalidate();
        return;
    }
    // One page toward the press, however near it lies; no repeat.
    const int p = CoordinatePosition(std::max(0, Horizontal() ? x : y));
    if (p > FPosition)
        StepBy(FPageSize);
    else if (p < FPosition)
        StepBy(-static_cast<long long>(FPageSize));
}

void TKsCustomTrackBar::MouseMove(TShiftState shift, int x, int y)
{
    TKsCustomControl::MouseMove(shift, x, y);
    const int length = TrackLength();
    if (Horizontal())
        x = std::clamp(x, 0, std::max(0, length));
    else
        y = std::clamp(y, 0, std::max(0, length));
    if (FDragging) SetPosition(CoordinatePosition(Horizontal() ? x : y));
    const bool hovered = PtInThumb(x, y);
    if (hovered == FThumbHovered) return;
    FThumbHovered = hovered;
    Invalidate();
}

void TKsCustomTrackBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TKsCustomControl::MouseUp(button, shift, x, y);
    if (button != mbLeft) return;
    FDragging = false;
    Invalidate();
}

void TKsCustomTrackBar::MouseLeave()
{
    TKsCustomControl::MouseLeave();
    if (!FThumbHovered) return;
    FThumbHovered = false;
    Invalidate();
}

void TKsCustomTrackBar::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_KEYDOWN: {
        WORD key = WORD(m.WParam);
        if (!DoKeyDown(key, KeyboardShiftState())) KeyDown(key, KeyboardShiftState());
        m.Result = 0;
        return;
    }
    }
    TKsCustomControl::Dispatch(m);
    AfterBaseDispatch(m, {CM_ENABLEDCHANGED}, DLGC_WANTARROWS);
}

bool TKsCustomTrackBar::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames orientations = {"toHorizontal", "toVertical"};
    static const TEnumNames ticks = {"tmBoth", "tmBottomRight", "tmTopLeft"};
    static const TEnumNames highlights = {"htLowInterval", "htHighInterval", "htNone"};
    if (name == "IntervalHighlightType") {
        SetIntervalHighlightType(TIntervalHighlightType(reader.ReadEnum(highlights)));
    } else if (name == "LineSize") {
        SetLineSize(reader.ReadInteger());
    } else if (name == "Max") {
        SetMax(reader.ReadInteger());
    } else if (name == "Min") {
        SetMin(reader.ReadInteger());
    } else if (name == "Orientation") {
        SetOrientation(TTrackOrientation(reader.ReadEnum(orientations)));
    } else if (name == "PageSize") {
        SetPageSize(reader.ReadInteger());
    } else if (name == "Position") {
        SetPosition(reader.ReadInteger());
    } else if (name == "Frequency") {
        SetFrequency(reader.ReadInteger());
    } else if (name == "ThumbVisible") {
        SetThumbVisible(reader.ReadBool());
    } else if (name == "ThumbHalfWidth") {
        const int value = reader.ReadInteger();
        if (value < 0 || value > 65535) reader.Fail("ThumbHalfWidth must lie in 0..65535");
        SetThumbHalfWidth(uint16_t(value));
    } else if (name == "TickMarks") {
        SetTickMarks(TTickMark(reader.ReadEnum(ticks)));
    } else if (name == "ShowTicks") {
        SetShowTicks(reader.ReadBool());
    } else if (name == "OnChange") {
        OnChange = reader.ReadEvent<TNotifyEvent>();
    } else {
        return TKsCustomControl::ReadProperty(name, reader);
    }
    return true;
}

// --- The styled track bar ------------------------------------------------------------

TEpTrackBar::TEpTrackBar(TComponent* owner)
    : TKsCustomTrackBar(owner), FBackground(new TEpBackground), FBorder(new TEpBorder),
      FThumbBackground(new TEpBackground), FThumbBorder(new TEpBorder), FHighlightBackground(new TEpBackground),
      FHighlightBorder(new TEpBorder)
{
    const TNotifyEvent changed = MakeEvent<&TEpTrackBar::StyleChanged>(this);
    FBackground->OnChange = changed;
    FBorder->OnChange = changed;
    FThumbBackground->OnChange = changed;
    FThumbBorder->OnChange = changed;
    FHighlightBackground->OnChange = changed;
    FHighlightBorder->OnChange = changed;
}

TEpTrackBar::~TEpTrackBar()
{
    BeginDestroy();
    auto release = [](auto*& style) {
        delete style;
        style = nullptr;
    };
    release(FHighlightBorder);
    release(FHighlightBackground);
    release(FThumbBorder);
    release(FThumbBackground);
    release(FBorder);
    release(FBackground);
}

void TEpTrackBar::SetTickColor(TColor value)
{
    if (value == FTickColor) return;
    FTickColor = value;
    Invalidate();
}

void TEpTrackBar::StyleChanged(TObject*)
{
    if (!Destroying() && (ComponentState() & csDesigning)) Invalidate();
}

void TEpTrackBar::DrawTrack(int start, int end, int thumbPos)
{
    if (!FBorder) return;
    // The whole control, over the focus rectangle drawn before.
    const RECT all{0, 0, FBoundsWidth, FBoundsHeight};
    FBackground->Draw(FBuffer, all);
    FBorder->Draw(FBuffer, all);
    if (!Enabled() || IntervalHighlightType() == htNone) return;
    const RECT r = HighlightRect(start, end, thumbPos);
    FHighlightBackground->Draw(FBuffer, r);
    FHighlightBorder->Draw(FBuffer, r);
}

void TEpTrackBar::DrawThumb(int c)
{
    if (!ThumbVisible() || !FThumbBorder) return;
    // A rectangle, whichever side the ticks are on.
    const int tw = GetThumbWidth(), h = tw / 2, tl = ThumbLength(), t0 = ThumbTop();
    const RECT r = Orientation() == toHorizontal ? RECT{c - h, t0, c - h + tw, t0 + tl}
                                                 : RECT{t0, c - h, t0 + tl, c - h + tw};
    FThumbBackground->Draw(FBuffer, r);
    FThumbBorder->Draw(FBuffer, r);
}

void TEpTrackBar::DrawTick(int value, int coordinate, bool topLeft)
{
    DrawTickLine(value, coordinate, topLeft, KColor(FTickColor, 255));
}

TPersistent* TEpTrackBar::PropertyObject(const std::string& name)
{
    if (name == "Background") return FBackground;
    if (name == "Border") return FBorder;
    if (name == "ThumbBackground") return FThumbBackground;
    if (name == "ThumbBorder") return FThumbBorder;
    if (name == "HighlightBackground") return FHighlightBackground;
    if (name == "HighlightBorder") return FHighlightBorder;
    return TKsCustomTrackBar::PropertyObject(name);
}

bool TEpTrackBar::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "TickColor") SetTickColor(ReadColor(reader));
    else if (name == "Version") reader.ReadString();  // read-only: the text is ours
    else return TKsCustomTrackBar::ReadProperty(name, reader);
    return true;
}

void RegisterTrackBarClasses()
{
    RegisterClasses<TKsCustomTrackBar, TEpTrackBar>();
}
