// TepSplitter: a bar that resizes the aligned control beside it. While the
// mouse drags it an inverted line shows where the edge will go; the size is
// applied on release, and Escape (pressed in the form's active control)
// gives the drag up.
#pragma once

#include "BevelColors.h"
#include "Control.h"
#include "Graphic.h"
#include "WinControl.h"

class TepSplitter : public TInnerOuterColors<TGraphicControl> {
    GANTREL_CLASS(TepSplitter)

    explicit TepSplitter(TComponent* owner);
    ~TepSplitter() override;

    bool UseGlyph() const { return FUseGlyph; }
    void SetUseGlyph(bool value);
    TBitmap* SplitterGlyph() const { return FSplitterGlyph; }
    void SetSplitterGlyph(TBitmap* glyph);
    int MinSize() const { return FMinSize; }
    void SetMinSize(int size);
    bool Beveled() const { return FBeveled; }
    void SetBeveled(bool value);
    TNotifyEvent OnMoved;

    // A drag is under way (a control beside the splitter is being sized).
    bool Sizing() const { return FControl != nullptr; }
    bool LineVisible() const { return FLineVisible; }
    int NewSize() const { return FNewSize; }
    int MaxSize() const { return FMaxSize; }

    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;
    void Notification(TComponent* component, TOperation operation) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    bool FUseGlyph = false;
    TBitmap* FSplitterGlyph;
    int FMinSize = 30;
    bool FBeveled = true;

    HDC FLineDC = nullptr;
    HWND FLineWindow = nullptr;
    int FDownX = 0, FDownY = 0;
    int FSplit = 0;
    int FMaxSize = 0;
    int FNewSize = 0;
    TControl* FControl = nullptr;
    TWinControl* FActiveControl = nullptr;
    TKeyEvent FOldKeyDown;
    bool FLineVisible = false;

    bool Horizontal() const { return Align() == alTop || Align() == alBottom; }
    TControl* FindControl() const;
    void UpdateSize(int x, int y);
    void DrawLine();
    void StopSizing();
    // Ends a drag without applying it: the line goes, the device context is
    // released and the active control gets its key handler back.
    void EndDrag();
    void FocusKeyDown(TObject* sender, WORD& key, TShiftState shift);
};
