// TWinControl, a control with a window of its own: the window is made on
// demand (our own window class, or a platform control such as BUTTON,
// subclassed), it holds child controls, aligns and anchors them, paints
// its windowless children, routes the mouse to them, takes the focus and
// the keyboard. TCustomControl adds a canvas and a Paint of its own.
#pragma once

#include "Brush.h"
#include "Control.h"

#include <string>
#include <vector>

struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    UINT ClassStyle = CS_DBLCLKS;
    // A platform control to subclass ("BUTTON", "EDIT", ...); empty for our own class.
    std::string SubclassOf;
};

class TWinControl : public TControl {
    GANTREL_CLASS(TWinControl)

    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded() { Handle(); }
    // The window of a parent-less control (a form's owner window).
    HWND ParentWindow = nullptr;
    void RecreateWnd();
    // The control that owns this window handle, or null.
    static TWinControl* FindControl(HWND window);
    // Where the control's own handling sends what it leaves (DefaultHandler):
    // DefWindowProcA for our window class, the class procedure of a platform
    // control. Whoever subclasses the window and has lost the procedure it
    // replaced can still give a message its default answer here.
    WNDPROC DefWndProc() const { return FDefWndProc; }
    // How many messages reached a window that outlived its control (they got
    // the default handling). Any at all is a fault in someone's teardown.
    static unsigned StrayMessages();

    int ControlCount() const { return int(FControls.size()); }
    TControl* Controls(int index) const;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    bool ContainsControl(TControl* control) const;
    void SetChildOrder(TControl* control, int order);
    // The windowless or windowed child under a point of the client area.
    TControl* ControlAtPos(POINT p, bool allowDisabled = false, bool allowWindowless = true);

    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();
    void Realign();
    bool AlignPending() const { return FAlignPending; }

    bool DoubleBuffered = false;
    TBrush* Brush() const { return FBrush; }

    // Focus and the tab order.
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool value) { FTabStop = value; }
    int TabOrder() const;
    void SetTabOrder(int order);
    bool Focused() const;
    virtual bool CanFocus();
    virtual void SetFocus();
    // The next (or previous) control in tab order below this one, after current.
    TWinControl* FindNextControl(TWinControl* current, bool forward, bool checkTabStop);
    void SelectNext(TWinControl* current, bool forward, bool checkTabStop);

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    // Paints the control and its children (windowed ones too) on dc at (x, y).
    void PaintTo(HDC dc, int x, int y);
    // Paints only the control's own face on dc, without its children: what a
    // see-through child copies from beneath itself.
    void PaintFaceTo(HDC dc) { PaintWindow(dc); }
    // Paints only the windowless children on dc, in this control's client
    // coordinates: the rest of what lies beneath a see-through windowed child.
    void PaintGraphicChildrenTo(HDC dc) { PaintControls(dc, nullptr); }
    void Invalidate() override;
    void Update() override;
    RECT ClientRect() override;
    POINT ClientOrigin() const override;
    void SetClientSize(int width, int height) override;

    void SetCaptureControl(TControl* control);
    TControl* CaptureControl() const { return FCaptureControl; }
    // The window's own capture for a left press (true) until its release
    // (false); platform controls keep theirs as they do themselves.
    void CaptureOnPress(bool pressed);

    void WndProc(TMessage& message) override;
    void Dispatch(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;
    void SetEnabled(bool enabled) override;
    void Loaded() override;
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    friend class TControl;
    virtual void CreateParams(TCreateParams& params);
    // Whether the window will have a menu bar (it takes room from the client area).
    virtual bool HasMenuBar() const { return false; }
    // The frame around the client area that the window's style gives it.
    RECT FrameSize();
    virtual void CreateWnd();
    // Right after the window exists: fonts, texts and the children's windows.
    virtual void CreateHandle();
    virtual void DestroyWnd();
    void DestroyHandle();
    virtual void AlignControls(RECT& rect);
    virtual void PaintWindow(HDC dc);
    void PaintControls(HDC dc, TControl* first);
    // One windowless child on dc at its place, clipped to its size.
    void PaintControl(HDC dc, TControl* control);
    void PaintHandler(TMessage& message);
    void BoundsChanged() override;
    void VisibleChanged() override;
    std::string GetText() const override;
    void SetTextBuf(const std::string& text) override;
    // Key handling before the control sees a key; true when the key is used up.
    virtual bool DoKeyDown(WORD& key, TShiftState shift);
    virtual bool DoKeyUp(WORD& key, TShiftState shift);
    virtual bool DoKeyPress(char& key);
    virtual void DoEnter();
    virtual void DoExit();
    // Which keys the control wants for itself (DLGC_... of WM_GETDLGCODE).
    virtual UINT DialogCode();
    void UpdateBounds();
    bool IsPlatformControl() const { return FDefWndProc != DefWindowProcA; }
    // Where several controls below this one share the access key, the focus
    // moves on to the next of them (true); else nothing happens (false).
    bool FocusNextWithAccel(unsigned key);

    bool FAligning = false;

private:
    HWND FHandle = nullptr;
    WNDPROC FDefWndProc = DefWindowProcA;
    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    int FAlignLevel = 0;
    bool FAlignPending = false;
    bool FTabStop = false;
    TBrush* FBrush;
    TControl* FCaptureControl = nullptr;
    // Every focusable control below this one in tab order, depth first.
    std::vector<TWinControl*> TabOrderList(bool checkTabStop);
    void CreateChildHandles();
    void ColorChanged();
    void MouseRouting(TMessage& m, bool& handled);
    void ContextMenu(TMessage& m);
    void ReflectNotification(TMessage& m);
    static LRESULT CALLBACK StdWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    // control if it has not been freed, else null.
    static TWinControl* FindLive(TWinControl* control);
};

class TCustomControl : public TWinControl {
    GANTREL_CLASS(TCustomControl)

    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;
    TCanvas* Canvas() const { return FCanvas; }

protected:
    virtual void Paint() {}
    void PaintWindow(HDC dc) override;

private:
    TCanvas* FCanvas;
};

// Hidden windows for timers and the application: messages go to method.
HWND AllocateHWnd(TWndMethod method);
void DeallocateHWnd(HWND window);

// The control under the mouse, for CM_MOUSEENTER and CM_MOUSELEAVE.
void UpdateMouseControl(TControl* control);
