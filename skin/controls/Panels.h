// The skinned panel: a container with an optional caption bar across its
// top and, at the bar's right end, a small button that rolls the panel up to
// its caption bar and down again, or hides it. TKsCustomPanel draws with the
// system's colours; TEpPanel draws its face and caption bar with style
// objects and shows only the button's glyph, in a colour of its own. Both
// paint through the Ks buffer: the face is the background step, the caption
// bar and button the buffer step. The status and tool bars are empty shells
// on the same base.
#pragma once

#include "BufferedControls.h"
#include "SkinStyles.h"

enum TKsPanelButtonKind { pbkRoll, pbkHide };

class TKsCustomPanel : public TKsCustomControl {
    GANTREL_CLASS(TKsCustomPanel)

    explicit TKsCustomPanel(TComponent* owner);

    int CaptionHeight() const { return FCaptionHeight; }
    void SetCaptionHeight(int value);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int value);
    bool ShowBevel() const { return FShowBevel; }
    void SetShowBevel(bool value);
    bool ShowButton() const { return FShowButton; }
    void SetShowButton(bool value);
    TKsPanelButtonKind ButtonKind() const { return FButtonKind; }
    void SetButtonKind(TKsPanelButtonKind kind);
    bool Rolled() const { return FRolled; }
    void SetRolled(bool value);
    // The height rolling down restores.
    int UnrolledHeight() const { return FUnrolledHeight; }
    bool ButtonHot() const { return FButtonHot; }
    bool ButtonDown() const { return FButtonDown; }

    TNotifyEvent OnButtonClick;

    RECT GetCaptionRect();
    // Empty without a caption bar or a button.
    RECT GetButtonRect();
    // Where the children are aligned: inside the border, the bevel and the
    // caption bar.
    RECT ClientRect() override;

    void RollUp();
    void RollDown();
    // Roll: up or down; hide: the panel goes; then OnButtonClick.
    void DoButtonClick();

    void SetBounds(int left, int top, int width, int height) override;
    void Loaded() override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void PaintBackground() override;
    void PaintBuffer() override;
    virtual void DrawCaption();
    virtual void DrawFace();
    void MouseLeave() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

    // The caption inside r (5 pixels in from each side), left-aligned and
    // vertically centred, in Font; left opaque.
    void DrawCaptionText(RECT r);
    // The system frame control the button shows, drawn into r of dc.
    void DrawButtonFrame(HDC dc, RECT r);

private:
    int FCaptionHeight = 20;
    bool FShowCaption = true;
    int FBorderWidth = 3;
    int FBevelWidth = 1;
    bool FShowBevel = true;
    bool FShowButton = true;
    bool FButtonHot = false;
    bool FButtonDown = false;
    // The left button went down on our button: only such a press clicks.
    bool FButtonPressed = false;
    bool FRolled = false;
    int FUnrolledHeight = 0;
    TKsPanelButtonKind FButtonKind = pbkRoll;
    // Rolled read from a form resource: the roll waits for Loaded, so that
    // Height read before or after it is the height to unroll to.
    bool FRollWhenLoaded = false;

    void LayoutChanged();
    bool InButton(int x, int y);
};

// The panel drawn with style objects.
class TEpPanel : public TKsCustomPanel {
    GANTREL_CLASS(TEpPanel)

    explicit TEpPanel(TComponent* owner);
    ~TEpPanel() override;

    TEpBackground* Background() const { return FBackground; }
    void SetBackground(TEpBackground* value) { FBackground->Assign(value); }
    TEpBackground* CaptionBackground() const { return FCaptionBackground; }
    void SetCaptionBackground(TEpBackground* value) { FCaptionBackground->Assign(value); }
    TEpBorder* Border() const { return FBorder; }
    void SetBorder(TEpBorder* value) { FBorder->Assign(value); }
    TEpBorder* CaptionBorder() const { return FCaptionBorder; }
    void SetCaptionBorder(TEpBorder* value) { FCaptionBorder->Assign(value); }
    TColor ButtonGlyphColor() const { return FButtonGlyphColor; }
    void SetButtonGlyphColor(TColor color);
    static const char* Version() { return TKsFamily::Version; }

    TPersistent* PropertyObject(const std::string& name) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void DrawCaption() override;
    void DrawFace() override;
    // Style changes show at the next repaint (at once only in the designer).
    void DoChange(TObject* sender);

private:
    TEpBackground* FBackground;
    TEpBackground* FCaptionBackground;
    TEpBorder* FBorder;
    TEpBorder* FCaptionBorder;
    TColor FButtonGlyphColor = TColor(0);
};

// Empty shells: the base's plain buffer (Color unless transparent).
class TKsCustomStatusBar : public TKsCustomControl {
    GANTREL_CLASS(TKsCustomStatusBar)
    explicit TKsCustomStatusBar(TComponent* owner);
};

class TKsCustomToolBar : public TKsCustomControl {
    GANTREL_CLASS(TKsCustomToolBar)
    explicit TKsCustomToolBar(TComponent* owner);
};
