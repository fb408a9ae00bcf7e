// The skinned track bar: a track between two side margins, a thumb that
// marks Position between Min and Max, tick marks on either side and a
// highlighted interval from one end of the track to the thumb, painted into
// the Ks buffer. TKsCustomTrackBar draws with the system's colours and a
// pointed thumb; TEpTrackBar draws the whole control, the thumb and the
// interval with style objects.
//
// Positions and coordinates map onto each other by rounding to nearest with
// ties to even (Min at the left or top). Min < Max always holds in a running
// program; a form resource may give Min and Max in either order and gets the
// range it states.
#pragma once

#include "BufferedControls.h"
#include "SkinStyles.h"

#include <cstdint>

enum TTrackOrientation { toHorizontal, toVertical };
enum TTickMark { tmBoth, tmBottomRight, tmTopLeft };
enum TIntervalHighlightType { htLowInterval, htHighInterval, htNone };

class TKsCustomTrackBar : public TKsCustomControl {
    GANTREL_CLASS(TKsCustomTrackBar)

    explicit TKsCustomTrackBar(TComponent* owner);

    int Position() const { return FPosition; }
    // Nothing when equal to Position; otherwise Position becomes the value
    // kept inside Min .. Max, repaints and fires OnChange, also when the
    // bound it is kept to is where Position already was.
    void SetPosition(int value);
    int Min() const { return FMin; }
    // Refused when not below Max; pushes Position up when below.
    void SetMin(int value);
    int Max() const { return FMax; }
    // Refused when not above Min; pulls Position down when above.
    void SetMax(int value);
    TTrackOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TTrackOrientation value);
    // The arrow keys' step and the page keys' and clicks' step; only stored.
    int LineSize() const { return FLineSize; }
    void SetLineSize(int value) { FLineSize = value; }
    int PageSize() const { return FPageSize; }
    void SetPageSize(int value) { FPageSize = value; }
    // Ticks mark the multiples of Frequency; below 1 is refused.
    int Frequency() const { return FFrequency; }
    void SetFrequency(int value);
    bool ThumbVisible() const { return FThumbVisible; }
    void SetThumbVisible(bool value);
    uint16_t ThumbHalfWidth() const { return FThumbHalfWidth; }
    void SetThumbHalfWidth(uint16_t value);
    TTickMark TickMarks() const { return FTickMarks; }
    void SetTickMarks(TTickMark value);
    bool ShowTicks() const { return FShowTicks; }
    void SetShowTicks(bool value);
    TIntervalHighlightType IntervalHighlightType() const { return FIntervalHighlightType; }
    void SetIntervalHighlightType(TIntervalHighlightType value);

    TNotifyEvent OnChange;

    // The left button is dragging the thumb.
    bool Dragging() const { return FDragging; }
    bool ThumbHovered() const { return FThumbHovered; }

    // Thumb width TW, side margin SM, top-bottom margin M.
    virtual int GetThumbWidth();
    virtual int GetSideMargin();
    virtual int GetTopBottomMargin();
    // The thumb's length across the track: TW x 2.2, rounded.
    int ThumbLength();
    // Where the thumb starts across the track (after the top or left ticks).
    int ThumbTop();
    // The control's length along the track, and the part the thumb's
    // centre travels (never below 0).
    int TrackLength();
    int UsableLength();
    // The coordinate along the track of a position, and back (kept inside
    // Min .. Max).
    int PositionCoordinate(int value);
    int CoordinatePosition(int coordinate);
    // The track strip and the highlighted interval, across and along.
    RECT TrackStripRect(int start, int end);
    RECT HighlightRect(int start, int end, int thumbPos);
    virtual bool PtInThumb(int x, int y);

    void Loaded() override;
    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    virtual void DrawTrack(int start, int end, int thumbPos);
    virtual void DrawThumb(int thumbPos);
    virtual void DrawTick(int value, int coordinate, bool topLeft);
    virtual void DrawTicks();
    void PaintBackground() override;
    void PaintBuffer() override;
    virtual void Change();
    virtual void KeyDown(WORD& key, TShiftState shift);
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseLeave() override;

    // The tick's line: longer for the ends (Min and Max).
    void DrawTickLine(int value, int coordinate, bool topLeft, TKColor color);
    // The pointed thumb's five corners (tmBottomRight, tmTopLeft); false
    // for the rectangle of tmBoth, given in rect.
    bool ThumbShape(int thumbPos, POINT points[5], RECT& rect);

private:
    int FPosition = 3;
    int FMin = 0;
    int FMax = 10;
    TTrackOrientation FOrientation = toHorizontal;
    int FLineSize = 1;
    int FPageSize = 2;
    int FFrequency = 1;
    bool FThumbVisible = true;
    uint16_t FThumbHalfWidth = 4;
    TTickMark FTickMarks = tmBottomRight;
    bool FShowTicks = true;
    TIntervalHighlightType FIntervalHighlightType = htNone;
    bool FDragging = false;
    bool FThumbHovered = false;
    // Min or Max read from a form resource: the range as it was before,
    // for a resource whose pair is no range at all.
    bool FRangeRead = false;
    int FMinBeforeLoad = 0;
    int FMaxBeforeLoad = 10;

    bool Horizontal() const { return FOrientation == toHorizontal; }
    // Position moved by delta, which may lie beyond int's range.
    void StepBy(long long delta);
    void RangeRead();
    // Calls tick(value) for Min, the multiples of Frequency between, and
    // Max, skipping multiples that fall on the coordinate just drawn.
    template <class Tick>
    void ForEachTick(Tick tick);
};

class TEpTrackBar : public TKsCustomTrackBar {
    GANTREL_CLASS(TEpTrackBar)

    explicit TEpTrackBar(TComponent* owner);
    ~TEpTrackBar() override;

    // The whole control.
    TEpBackground* Background() const { return FBackground; }
    void SetBackground(TEpBackground* value) { FBackground->Assign(value); }
    TEpBorder* Border() const { return FBorder; }
    void SetBorder(TEpBorder* value) { FBorder->Assign(value); }
    // The thumb.
    TEpBackground* ThumbBackground() const { return FThumbBackground; }
    void SetThumbBackground(TEpBackground* value) { FThumbBackground->Assign(value); }
    TEpBorder* ThumbBorder() const { return FThumbBorder; }
    void SetThumbBorder(TEpBorder* value) { FThumbBorder->Assign(value); }
    // The highlighted interval.
    TEpBackground* HighlightBackground() const { return FHighlightBackground; }
    void SetHighlightBackground(TEpBackground* value) { FHighlightBackground->Assign(value); }
    TEpBorder* HighlightBorder() const { return FHighlightBorder; }
    void SetHighlightBorder(TEpBorder* value) { FHighlightBorder->Assign(value); }
    TColor TickColor() const { return FTickColor; }
    void SetTickColor(TColor value);
    static const char* Version() { return TKsFamily::Version; }

    TPersistent* PropertyObject(const std::string& name) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void DrawTrack(int start, int end, int thumbPos) override;
    void DrawThumb(int thumbPos) override;
    void DrawTick(int value, int coordinate, bool topLeft) override;
    // Style changes show at the next repaint (at once only in the designer).
    void StyleChanged(TObject* sender);

private:
    TEpBackground* FBackground;
    TEpBorder* FBorder;
    TEpBackground* FThumbBackground;
    TEpBorder* FThumbBorder;
    TEpBackground* FHighlightBackground;
    TEpBorder* FHighlightBorder;
    TColor FTickColor = TColor(0);
};

// Makes the track bar classes known to form resources.
void RegisterTrackBarClasses();
