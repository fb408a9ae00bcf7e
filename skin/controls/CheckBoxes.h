// The skinned check box and radio button: a square box at the left edge,
// centred vertically, and the caption right of it, painted into the Ks
// buffer. The custom classes draw the box as the system draws its own; the
// Ep leaves draw it with style objects and a mark of their own.
//
// A change of state fires OnClick, whether the user or the program made it,
// but not while a form resource is being read: loading a form clicks
// nothing. Each class answers its own Checked (GetChecked), so a radio
// button is read as a radio button, never through the check box.
#pragma once

#include "BufferedControls.h"
#include "CheckBox.h"
#include "DragEvents.h"
#include "SkinStyles.h"

// What the two share: the box and caption layout, the caption's painting,
// and the mouse, Space and accelerator input that turns them.
class TKsCustomBoxControl : public TKsCustomControl {
    GANTREL_CLASS(TKsCustomBoxControl)

    explicit TKsCustomBoxControl(TComponent* owner);

    // Pixels between the box and the caption.
    int Spacing() const { return FSpacing; }
    void SetSpacing(int value);

    // Where the box and the caption's text extent lie in the control.
    RECT BoxRect();
    RECT TextRect();

    // Kept for form resources; the framework starts no drags.
    TDragDropEvent OnDragDrop;
    TDragOverEvent OnDragOver;
    TEndDragEvent OnEndDrag;

    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    virtual SIZE GetBoxSize();
    // The classic box: the system's check or radio frame.
    virtual void PaintBox();
    virtual void PaintText();
    void PaintBuffer() override;
    // Whether the box shows its mark (checked, or grayed).
    virtual bool Marked() const = 0;
    // The system frame's state flags for the box.
    virtual UINT FrameState() const = 0;
    // A click released over the control, or Space.
    virtual void UserClick() = 0;
    // The caption's accelerator, once the control has the focus.
    virtual void AccelPressed() = 0;

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    int FSpacing = 5;
};

class TKsCustomCheckBox : public TKsCustomBoxControl {
    GANTREL_CLASS(TKsCustomCheckBox)

    explicit TKsCustomCheckBox(TComponent* owner);

    // True exactly when State is cbChecked (a grayed box is not checked).
    bool GetChecked() const { return FState == cbChecked; }
    bool Checked() const { return GetChecked(); }
    void SetChecked(bool value);
    TCheckBoxState State() const { return FState; }
    // A change repaints and clicks (not while loading).
    void SetState(TCheckBoxState value);
    // Checked becomes unchecked; unchecked and grayed become checked.
    void Toggle();

    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    bool Marked() const override { return FState != cbUnchecked; }
    UINT FrameState() const override;
    void UserClick() override { SetChecked(!GetChecked()); }
    void AccelPressed() override { Toggle(); }

private:
    TCheckBoxState FState = cbUnchecked;
};

class TKsCustomRadioButton : public TKsCustomBoxControl {
    GANTREL_CLASS(TKsCustomRadioButton)

    explicit TKsCustomRadioButton(TComponent* owner);

    bool GetChecked() const { return FChecked; }
    bool Checked() const { return FChecked; }
    // Only the checked button of a group is a tab stop. Becoming checked
    // unchecks the group's others and clicks; becoming unchecked clicks
    // nothing. While a form resource is read nothing clicks, and the group
    // is settled once the whole form is read (GroupIndex may come after
    // Checked): the button read as checked last stays checked.
    void SetChecked(bool value);
    // Buttons of one parent with the same GroupIndex are exclusive.
    uint8_t GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(uint8_t value) { FGroupIndex = value; }
    // Unchecks every other radio button of the same parent and group.
    void TurnSiblingsOff();

    void Loaded() override;
    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    bool Marked() const override { return FChecked; }
    UINT FrameState() const override;
    void UserClick() override;
    void AccelPressed() override { SetChecked(true); }
    // Moving the focus onto a radio button selects it.
    void HasFocus() override;

private:
    bool FChecked = false;
    uint8_t FGroupIndex = 0;
    // When the button was read as checked, in the order of all such reads.
    unsigned long long FCheckedRead = 0;
    static unsigned long long FCheckedReads;
};

// The Ep box: background and border styles, a size of its own and the mark
// in a colour of its own; Base is one of the two custom classes.
template <class Base>
class TEpBoxStyle : public Base {
    GANTREL_CLASS(TEpBoxStyle)

    explicit TEpBoxStyle(TComponent* owner);
    ~TEpBoxStyle() override;

    TEpBackground* BoxBackground() const { return FBoxBackground; }
    void SetBoxBackground(TEpBackground* value) { FBoxBackground->Assign(value); }
    TEpBorder* BoxBorder() const { return FBoxBorder; }
    void SetBoxBorder(TEpBorder* value) { FBoxBorder->Assign(value); }
    int BoxWidth() const { return FBoxWidth; }
    void SetBoxWidth(int value);
    // Whether the mark is drawn.
    bool ShowGlyph() const { return FShowGlyph; }
    void SetShowGlyph(bool value);
    TColor GlyphColor() const { return FGlyphColor; }
    void SetGlyphColor(TColor value);
    static const char* Version() { return TKsFamily::Version; }

    TPersistent* PropertyObject(const std::string& name) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    SIZE GetBoxSize() override { return SIZE{FBoxWidth, FBoxWidth}; }
    // Background and border on the box, then the mark inside the border.
    void PaintBox() override;
    // The mark inside inner, the box shrunk by the border's width and 2.
    virtual void PaintGlyph(const RECT& inner, TKColor color) = 0;
    void BoxStyleChanged(TObject* sender);

private:
    TEpBackground* FBoxBackground;
    TEpBorder* FBoxBorder;
    int FBoxWidth = 15;
    bool FShowGlyph = true;
    TColor FGlyphColor = TColor(0);
};

extern template class TEpBoxStyle<TKsCustomCheckBox>;
extern template class TEpBoxStyle<TKsCustomRadioButton>;

// The mark is a thick cross; a style change shows at the next repaint (at
// once only in the designer).
class TEpCheckBox : public TEpBoxStyle<TKsCustomCheckBox> {
    GANTREL_CLASS(TEpCheckBox)
    explicit TEpCheckBox(TComponent* owner) : TEpBoxStyle(owner) {}

protected:
    void PaintGlyph(const RECT& inner, TKColor color) override;
};

// The mark is a rounded square; a style change repaints at once.
class TEpRadioButton : public TEpBoxStyle<TKsCustomRadioButton> {
    GANTREL_CLASS(TEpRadioButton)
    explicit TEpRadioButton(TComponent* owner) : TEpBoxStyle(owner) {}

protected:
    void PaintGlyph(const RECT& inner, TKColor color) override;
};

// Makes the check box and radio button classes known to form resources.
void RegisterCheckBoxClasses();
