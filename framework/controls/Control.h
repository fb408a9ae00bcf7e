// TControl, the base of everything on a form: bounds, alignment, anchors,
// visibility, colour and font with their inheritance from the parent, mouse
// events, and the message procedure; TGraphicControl, a control without a
// window of its own that paints on its parent.
#pragma once

#include "Canvas.h"
#include "Component.h"
#include "Messages.h"
#include "SizeConstraints.h"

#include <string>

class TWinControl;
class TPopupMenu;
class TCustomForm;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
// How a control places its text across its width.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
// Which scroll bars a control shows.
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = unsigned;  // bit per TAnchorKind
constexpr TAnchors DefaultAnchors = (1u << akLeft) | (1u << akTop);

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateFlag : unsigned {
    ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64,
};
using TShiftState = unsigned;
TShiftState KeysToShiftState(WPARAM keys);
TShiftState KeyboardShiftState();

using TMouseEvent = TEvent<void(TObject*, TMouseButton, TShiftState, int, int)>;
using TMouseMoveEvent = TEvent<void(TObject*, TShiftState, int, int)>;
using TKeyEvent = TEvent<void(TObject*, WORD&, TShiftState)>;
using TKeyPressEvent = TEvent<void(TObject*, char&)>;
using TWndMethod = TEvent<void(TMessage&)>;

// What a control is and can do.
enum TControlStyleFlag : unsigned {
    csAcceptsControls = 1, csCaptureMouse = 2, csClickEvents = 4, csFramed = 8, csSetCaption = 16,
    csOpaque = 32, csDoubleClicks = 64, csParentBackground = 128,
    csReplicatable = 256,  // may be painted as a copy of itself elsewhere
};
// What a control is doing.
enum TControlStateFlag : unsigned {
    csLButtonDown = 1, csClicked = 2, csAlignmentNeeded = 4, csFocusing = 8, csCreating = 16,
    csPaintCopy = 32, csDestroyingHandle = 64,
};

class TControl : public TComponent {
    GANTREL_CLASS(TControl)

    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* parent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return RECT{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    virtual RECT ClientRect();
    int ClientWidth() { return ClientRect().right; }
    int ClientHeight() { return ClientRect().bottom; }
    void SetClientWidth(int width) { SetClientSize(width, ClientHeight()); }
    void SetClientHeight(int height) { SetClientSize(ClientWidth(), height); }
    virtual void SetClientSize(int width, int height);
    // Screen position of the client area's top left. A windowed control
    // with a window asks the platform, so a form's frame is counted.
    virtual POINT ClientOrigin() const;
    POINT ClientToScreen(POINT p) const;
    POINT ScreenToClient(POINT p) const;
    // Limits of the control's size; SetBounds keeps inside them. Classes
    // that publish them answer PropertyObject("Constraints") with this.
    TSizeConstraints* Constraints() const { return FConstraints; }

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign align);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors anchors);

    bool Visible() const { return FVisible; }
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and every parent too.
    bool Showing() const;
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool enabled);

    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& text) { SetText(text); }
    std::string Text() const { return GetText(); }
    void SetText(const std::string& text);

    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool value);
    TFont* Font() const { return FFont; }
    void SetFont(TFont* font) { FFont->Assign(font); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool value);

    std::string Hint;
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value);
    bool ParentShowHint = true;
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* menu);
    HCURSOR Cursor = nullptr;  // null: the arrow

    unsigned ControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    unsigned ControlState = 0;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // The message procedure; it can be replaced to watch a control's
    // messages (the previous one must then be called).
    TWndMethod WindowProc;
    virtual void WndProc(TMessage& message);
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    void Dispatch(TMessage& message) override;

    virtual void Invalidate();
    void Repaint();
    virtual void Update();
    void Refresh() { Repaint(); }
    void BringToFront();
    void SendToBack();
    virtual void Click();
    virtual void DblClick();

    // Streaming places the control in the windowed control it is read inside.
    void SetParentComponent(TComponent* parent) override;
    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return true; }
    void Loaded() override;
    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;
    void Notification(TComponent* component, TOperation operation) override;

protected:
    virtual std::string GetText() const { return FText; }
    // Puts the text where the control keeps it (its window, for windowed ones).
    virtual void SetTextBuf(const std::string& text) { FText = text; }
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Resize();
    // The parent aligns its controls again after this one moved or changed.
    void RequestAlign();
    // Bounds changed: windowed controls move their window.
    virtual void BoundsChanged() {}
    // Visible changed: windowed controls show or hide their window.
    virtual void VisibleChanged();
    void FontChanged(TObject* sender);
    // What the control does with the inherited font and colour.
    void ParentFontChanged();
    void ParentColorChanged();

    // Anchors keep these distances to the parent's right and bottom.
    void UpdateAnchorRules();
    friend class TWinControl;
    POINT FAnchorOrigin = {0, 0};
    SIZE FAnchorParentSize = {0, 0};
    RECT FAnchorRect = {0, 0, 0, 0};

    std::string FText;

private:
    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = alNone;
    TAnchors FAnchors = DefaultAnchors;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clWindow;
    bool FParentColor = true;
    TFont* FFont;
    TSizeConstraints* FConstraints;
    bool FParentFont = true;
    bool FCopyingParentFont = false;
    bool FShowHint = false;
    TPopupMenu* FPopupMenu = nullptr;
    void MouseMessage(TMessage& message);
    void ConstraintsChanged(TObject* sender);
};

// A control without a window: it paints on its parent's canvas.
class TGraphicControl : public TControl {
    GANTREL_CLASS(TGraphicControl)

    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;

    TCanvas* Canvas() const { return FCanvas; }
    void Dispatch(TMessage& message) override;

protected:
    virtual void Paint() {}

private:
    TCanvas* FCanvas;
};

// The cursors by name, as form resources and code name them.
enum TCursor { crDefault, crArrow, crIBeam, crHandPoint, crHourGlass, crCross, crSizeWE, crSizeNS, crSizeAll, crNo,
               crAppStart, crHSplit };
// The platform's cursor for a name (null for crDefault: the arrow).
HCURSOR CursorHandle(TCursor cursor);
// "crHandPoint" and the other cursor names of form resources.
HCURSOR ReadCursor(TReader& reader);

// The form a control sits on, or null.
TCustomForm* GetParentForm(TControl* control);
