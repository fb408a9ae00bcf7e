// TPanel: a container with raised or lowered bevels and a centred caption,
// on our own window class. Its client rectangle lies inside the bevels and
// the border, so that aligned children never cover the frame.
#pragma once

#include "Form.h"
#include "WinControl.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TCustomControl {
    GANTREL_CLASS(TPanel)

    explicit TPanel(TComponent* owner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut cut);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut cut);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int width);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int width);
    // bsNone or bsSingle (a one-pixel window border).
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle style);
    // Repaint everything after a size change (the bevels move with the edges).
    bool FullRepaint = true;
    // Kept for the form resources; the panel always paints its own Color.
    bool ParentBackground = true;

    // The room the bevels and the border take on each side.
    int FrameInset() const;
    RECT ClientRect() override;
    void SetClientSize(int width, int height) override;

    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
    // One bevel of BevelWidth lines just inside rect, which shrinks past it.
    void DrawBevel(RECT& rect, TBevelCut cut);

private:
    TAlignment FAlignment = taCenter;
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TFormBorderStyle FBorderStyle = bsNone;
    void FrameChanged();
};
