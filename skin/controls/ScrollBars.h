// The skinned scroll bar of the media family: a windowless bar drawn into
// its buffer, with two buttons, a slider and the two track areas beside the
// slider. A press on a button or an area steps at once, again after the
// keyboard's repeat delay and then at the keyboard's repeat rate until the
// release; dragging the slider tracks the mouse. TMpCustomControl makes one
// or two of them as its own scroll bars.
#pragma once

#include "BufferedControls.h"

class TTimer;

class TMpCustomScrollBar : public TMpGraphicControl {
    GANTREL_CLASS(TMpCustomScrollBar)

    explicit TMpCustomScrollBar(TComponent* owner);
    ~TMpCustomScrollBar() override;

    int Position() const { return FPosition; }
    // Kept inside Min .. Max; a change repaints and fires OnChange.
    void SetPosition(int value);
    int Min() const { return FMin; }
    void SetMin(int value);
    int Max() const { return FMax; }
    void SetMax(int value);
    // 0: a slider of fixed length; otherwise its share of the track.
    int PageSize() const { return FPageSize; }
    void SetPageSize(int value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int value);
    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind kind);
    bool ShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool value);
    // 1 .. 32767.
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int value);
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int value);
    // Keep stepping towards the start (or the end) until it is reached.
    bool AutoScrollUp() const { return FAutoScrollUp; }
    void SetAutoSrcollUp(bool on);
    bool AutoScrollDown() const { return FAutoScrollDown; }
    void SetAutoSrcollDown(bool on);

    TNotifyEvent OnChange;
    TKsScrollEvent OnScroll;

    // The keys 33..40 (page, end, home, arrows) as the bar steps for them.
    void ImitateKeyDown(WORD key, TShiftState shift);
    // The bar's thickness from the system's thumb size and the border.
    void UpdateSytemSize();

    // Where a position puts the slider's start along the length, and back.
    int PositionCoordinate(int pos);
    int CoordinatePosition(int coord);
    bool IsSliderVizible();

    // The pressed parts: pressed and still under the mouse.
    bool GetLeftTopBtnPressed() const { return FLeftTopBtnDown && FLeftTopBtnHot; }
    bool GetRightBottomBtnPressed() const { return FRightBottomBtnDown && FRightBottomBtnHot; }
    bool GetLeftTopAreaPressed() const { return FLeftTopAreaDown && FLeftTopAreaHot; }
    bool GetRightBottomAreaPressed() const { return FRightBottomAreaDown && FRightBottomAreaHot; }
    bool GetSliderPressed() const { return FDragOffset >= 0; }
    bool Repeating() const;

    virtual int GetBtnSize();
    virtual int GetSliderSize();
    virtual RECT GetLeftTopBtnRect();
    virtual RECT GetRightBottomBtnRect();
    virtual RECT GetSliderRect();
    // The track: between the buttons, inside the border.
    virtual RECT GetBackgroundRect();
    virtual RECT GetLeftTopAreaRect();
    virtual RECT GetRightBottomAreaRect();
    virtual bool PtInLeftTopBtn(int x, int y);
    virtual bool PtInRightBottomBtn(int x, int y);
    virtual bool PtInSlider(int x, int y);
    virtual bool PtInLeftTopArea(int x, int y);
    virtual bool PtInRightBottomArea(int x, int y);

    void Dispatch(TMessage& message) override;
    TPersistent* PropertyObject(const std::string& name) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void PaintBuffer() override;
    virtual void DrawLeftTopBtn();
    virtual void DrawRightBottomBtn();
    virtual void DrawSlider();
    virtual void DrawBackground();
    virtual void DrawBorder();
    virtual void Change();
    virtual void Scroll(TKsScrollCode code, int& pos);
    void MouseLeave() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    int FLastMouseX = -1;
    int FLastMouseY = -1;
    TTimer* FTimer = nullptr;
    int FDragOffset = -1;
    bool FSliderHot = false;
    bool FLeftTopBtnHot = false;
    bool FRightBottomBtnHot = false;
    bool FLeftTopAreaHot = false;
    bool FRightBottomAreaHot = false;
    bool FLeftTopBtnDown = false;
    bool FRightBottomBtnDown = false;
    bool FLeftTopAreaDown = false;
    bool FRightBottomAreaDown = false;
    int FPosition = 0;
    int FMin = 0;
    int FBorderWidth = 1;
    int FMax = 100;
    int FPageSize = 0;
    TScrollBarKind FKind = sbHorizontal;
    bool FShowButtons = true;
    int FLargeChange = 1;
    int FSmallChange = 1;
    bool FAutoScrollUp = false;
    bool FAutoScrollDown = false;

    bool Horizontal() const { return FKind == sbHorizontal; }
    int Length() const { return Horizontal() ? Width() : Height(); }
    int Along(int x, int y) const { return Horizontal() ? x : y; }
    // The track's start and end along the length.
    int TrackStart();
    int TrackEnd();
    // Track length minus slider size, and the positions it stands for.
    int Span();
    int Range() const;
    // The five hover flags at (x, y); true when any changed.
    bool UpdateHover(int x, int y);
    // One direction on (the other off, repeating at the rate) or off.
    void SetAutoScroll(bool& flag, bool& other, bool on);
    void PartPress(bool first);
    void TimerExpired(TObject* sender);
    void StopTimer();
    // A step: the value kept in range, offered to OnScroll, then set.
    void Step(int value, TKsScrollCode code);
    void DrawButton(const RECT& r, UINT state, bool pressed);
};
