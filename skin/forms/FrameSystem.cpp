// The form frame's system menu, notification-area icon, the application's
// minimize and restore, the keyboard menu and MDI.
//
// Temporary bodies: enough for everything to link and for a frame without
// a menu bar or MDI to work; the system menu and MDI are still to come.
#include "Frames.h"

#include "Application.h"
#include "ImageList.h"
#include "Menu.h"
#include "Reader.h"

template <class F>
typename F::Item* TSkinForm<F>::CreateMenuItem(TComponent* owner)
{
    (void)owner;
    return nullptr;
}

template <class F>
void TSkinForm<F>::CreateCaptionButtonImages()
{
}

template <class F>
void TSkinForm<F>::UpdateTrayIcon()
{
}

template <class F>
void TSkinForm<F>::CreateSysMenu()
{
}

template <class F>
typename F::Item* TSkinForm<F>::AddSysMenuItem(const std::string& caption, const std::string& shortCut, int imageIndex)
{
    (void)caption;
    (void)shortCut;
    (void)imageIndex;
    return nullptr;
}

template <class F>
void TSkinForm<F>::DoSysMenu(TObject* sender)
{
    (void)sender;
}

template <class F>
void TSkinForm<F>::SysMenu()
{
}

template <class F>
void TSkinForm<F>::FreeSysMenu()
{
    FSysMenu = nullptr;
}

template <class F>
TComponent* TSkinForm<F>::MenuBarComponent() const
{
    return nullptr;
}

template <class F>
void TSkinForm<F>::ReadMenuBar(TReader& reader)
{
    reader.ReadIdent();
}

template <class F>
void TSkinForm<F>::ShowMDIButtons()
{
}

template <class F>
void TSkinForm<F>::HideMDIButtons()
{
}

template <class F>
void TSkinForm<F>::AfterMDISize()
{
}

template <class F>
void TSkinForm<F>::InstallClientProc()
{
}

template <class F>
void TSkinForm<F>::ChainFormShortCut()
{
}

template <class F>
TCustomForm* TSkinForm<F>::GetMDIParentForm() const
{
    return nullptr;
}

template <class F>
TSkinForm<F>* TSkinForm<F>::GetMDIParentKsForm() const
{
    return nullptr;
}

template <class F>
bool TSkinForm<F>::IsMDIChildMaximized() const
{
    return false;
}

template <class F>
void TSkinForm<F>::ChangeMDIParentCaption()
{
}

template <class F>
void TSkinForm<F>::RestoreMDIChildren()
{
}

template <class F>
void TSkinForm<F>::ClientWndProc(TMessage& message)
{
    (void)message;
}

template <class F>
void TSkinForm<F>::RemoveClientEdge(HWND client)
{
    (void)client;
}

template <class F>
void TSkinForm<F>::DoApplicationMinimize(TObject* sender)
{
    if (FWindowState != kwsMinimized && FWindowState != kwsTray && FMinimizeApplication) Minimize();
    if (FSavedAppMinimize) FSavedAppMinimize(sender);
}

template <class F>
void TSkinForm<F>::DoApplicationRestore(TObject* sender)
{
    if (FWindowState == kwsMinimized && FMinimizeApplication) {
        Restore();
        UpdateNCArea();
    }
    if (FSavedAppRestore) FSavedAppRestore(sender);
}

template <class F>
void TSkinForm<F>::EndSession()
{
    Shell_NotifyIconA(NIM_DELETE, &FIconData);
}

template <class F>
void TSkinForm<F>::MsgTrayWndProc(TMessage& message)
{
    try {
        if (message.Msg == KM_TRAYNOTIFY && message.LParam == WM_LBUTTONDBLCLK) Restore();
    } catch (...) {
        HandleCallbackException();
    }
    this->DefaultHandler(message);
}

template <class F>
void TSkinForm<F>::DoFormShortCut(TMessage& key, bool& handled)
{
    (void)key;
    (void)handled;
}

template <class F>
void TSkinForm<F>::Cascade()
{
}

template <class F>
void TSkinForm<F>::Tile()
{
}

template <class F>
void TSkinForm<F>::WMSysCommand(TMessage& message)
{
    (void)message;
}

template <class F>
void TSkinForm<F>::WMActivate(TMessage& message)
{
    (void)message;
}

template <class F>
void TSkinForm<F>::WMMDIActivate(TMessage& message)
{
    (void)message;
}

template <class F>
void TSkinForm<F>::WMKeyDown(TMessage& message)
{
    (void)message;
}

template class TSkinForm<TKsFamily>;
template class TSkinForm<TMpFamily>;
