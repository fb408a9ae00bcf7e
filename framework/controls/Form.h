// Forms: top-level windows built from their form resources, with a border
// style, a main menu, modal showing and the close protocol; an MDI parent
// form (fsMDIForm) holds its MDI child forms (fsMDIChild) in the platform's
// MDI client window.
#pragma once

#include "Graphic.h"
#include "Reader.h"
#include "WinControl.h"

#include <vector>

class TMainMenu;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = unsigned;  // bit per TBorderIcon
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
                 poMainFormCenter, poOwnerFormCenter };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

// Modal results.
constexpr int mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7,
              mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

using TCloseEvent = TEvent<void(TObject*, TCloseAction&)>;
using TCloseQueryEvent = TEvent<void(TObject*, bool&)>;
// The session's end as the platform tells it: true when it ends, false when
// a log-off or shut-down that was asked about was cancelled.
using TEndSessionEvent = TEvent<void(TObject*, bool ending)>;
// A key pressed on the form before its menu sees it, as a WM_KEYDOWN (or,
// with Alt, WM_SYSKEYDOWN with bit 29 of the key data) message: handled
// stops it there.
using TShortCutEvent = TEvent<void(TMessage& message, bool& handled)>;

class TCustomForm : public TWinControl {
    GANTREL_CLASS(TCustomForm)

    explicit TCustomForm(TComponent* owner);
    // A form without a form resource.
    TCustomForm(TComponent* owner, int dummy);
    ~TCustomForm() override;

    // The last construction step: OnCreate. Application->CreateForm and
    // NewForm call it once the constructors are through.
    void AfterConstruction() override;

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle style);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons icons);
    TWindowState WindowState() const;
    void SetWindowState(TWindowState state);
    TPosition Position = poDesigned;
    TFormStyle FormStyle = fsNormal;
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* menu);
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* control);
    TIcon* Icon() const { return FIcon; }
    bool KeyPreview = false;

    void Show();
    // Shows the form without activating it (the active window stays so).
    void ShowNoActivate();
    int ShowModal();
    void Close();
    // What Close does once OnClose has chosen, for a caller that asks the
    // form's close handling itself (a skinned frame's Close): the main form
    // ends the application; caHide hides, caMinimize minimizes, caFree
    // releases the form; caNone does nothing.
    void ApplyCloseAction(TCloseAction action);
    // The action Close offers OnClose: caFree for the main form, else caHide.
    TCloseAction DefaultCloseAction() const;
    // The form's own close handling (OnClose) alone.
    void DoCloseHandling(TCloseAction& action) { DoClose(action); }
    bool CloseQuery();
    // Frees the form once the messages it is handling are through.
    void Release();
    bool Active() const { return FActive; }
    int ModalResult = mrNone;
    bool Modal() const { return FModalLevel > 0; }
    // True when OnShortCut took the key, or it is a shortcut of this form's
    // menu (and its item ran).
    virtual bool IsShortCut(WORD key, TShiftState shift);
    TShortCutEvent OnShortCut;

    // MDI. The client window of an MDI parent (null for any other form).
    HWND ClientHandle() const { return FClientHandle; }
    // The MDI child the client window has active, or null.
    TCustomForm* ActiveMDIChild();
    int MDIChildCount();
    TCustomForm* MDIChildren(int index);
    void Cascade();
    void Tile();

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    // Log-off or shut-down. OnQueryEndSession may refuse it (false); it must
    // stop nothing yet, since another program may still cancel it. Then
    // OnEndSession says whether the session ends.
    TCloseQueryEvent OnQueryEndSession;
    TEndSessionEvent OnEndSession;

    TCanvas* Canvas() const { return FCanvas; }

    void Dispatch(TMessage& message) override;
    // The platform's frame procedure for an MDI parent, its MDI child
    // procedure for an MDI child, else the window's own.
    void DefaultHandler(TMessage& message) override;
    void BeforeDestruction() override;
    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;
    void Notification(TComponent* component, TOperation operation) override;

    void Loaded() override;

protected:
    void CreateParams(TCreateParams& params) override;
    bool HasMenuBar() const override { return FMenu != nullptr; }
    void CreateHandle() override;
    void DestroyWnd() override;
    void VisibleChanged() override;
    void PaintWindow(HDC dc) override;
    virtual void DoClose(TCloseAction& action);
    virtual void DoShow();
    virtual void DoHide();
    // Tab, Enter, Escape and the arrows left over by the focused control.
    virtual bool DialogKey(WORD key, TShiftState shift);
    void PlaceOnScreen();
    void AlignControls(RECT& rect) override;

private:
    HWND FClientHandle = nullptr;
    // The MDI parent an MDI child's window goes into: its owner when that is
    // an MDI parent form, else the main form when it is one.
    TCustomForm* MDIParent() const;
    std::vector<TCustomForm*> MDIChildList();
    void CreateClientWindow();
    bool IsMDIChildWindow();
    bool FIconic = false;  // as the last WM_SIZE said
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons = (1u << biSystemMenu) | (1u << biMinimize) | (1u << biMaximize);
    TWindowState FWindowState = wsNormal;
    TMainMenu* FMenu = nullptr;
    TWinControl* FActiveControl = nullptr;
    // Where each showing puts the focus: the control the form text or the
    // program named as ActiveControl; without one, the first tab stop.
    TWinControl* FOpeningControl = nullptr;
    TIcon* FIcon;
    TCanvas* FCanvas;
    bool FActive = false;
    bool FCreated = false;
    bool FShowNoActivate = false;
    // The client size a form resource asks for, applied once its menu is known.
    int FLoadClientWidth = -1, FLoadClientHeight = -1;
    int FModalLevel = 0;
};

class TForm : public TCustomForm {
    GANTREL_CLASS(TForm)
    using TCustomForm::TCustomForm;
};

// Creates a form and runs its last construction step (OnCreate).
template <typename T>
T* NewForm(TComponent* owner)
{
    T* form = new T(owner);
    form->AfterConstruction();
    return form;
}
