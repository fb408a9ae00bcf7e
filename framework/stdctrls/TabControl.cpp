#include "TabControl.h"

#include "Reader.h"

#include <commctrl.h>

#include <algorithm>

// The tabs: kept here, and mirrored into the window whenever it exists.
// Without a window the selected tab moves as the platform would move it.
class TTabControl::TTabStrings : public TStrings {
public:
    explicit TTabStrings(TTabControl* control) : FControl(control) {}

    int Count() const override { return int(FItems.size()); }

    std::string Get(int index) const override
    {
        CheckIndex(index, Count());
        return FItems[size_t(index)].first;
    }

    void Put(int index, const std::string& text) override
    {
        CheckIndex(index, Count());
        FItems[size_t(index)].first = text;
        if (FControl->HandleAllocated()) {
            TCITEMA item = {};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<char*>(text.c_str());
            SendMessageA(FControl->Handle(), TCM_SETITEMA, WPARAM(index), reinterpret_cast<LPARAM>(&item));
        }
        FControl->TabsChanged();
    }

    TObject* GetObject(int index) const override
    {
        CheckIndex(index, Count());
        return FItems[size_t(index)].second;
    }

    void PutObject(int index, TObject* object) override
    {
        CheckIndex(index, Count());
        FItems[size_t(index)].second = object;
    }

    void Insert(int index, const std::string& text) override
    {
        CheckIndex(index, Count() + 1);
        FItems.insert(FItems.begin() + index, {text, nullptr});
        if (FControl->HandleAllocated()) {
            InsertTab(FControl->Handle(), index);
        } else if (FItems.size() == 1) {
            FControl->FTabIndex = 0;
        } else if (index <= FControl->FTabIndex) {
            ++FControl->FTabIndex;
        }
        FControl->TabsChanged();
    }

    void Delete(int index) override
    {
        CheckIndex(index, Count());
        FItems.erase(FItems.begin() + index);
        if (FControl->HandleAllocated()) {
            SendMessageA(FControl->Handle(), TCM_DELETEITEM, WPARAM(index), 0);
        } else if (index == FControl->FTabIndex) {
            FControl->FTabIndex = -1;
        } else if (index < FControl->FTabIndex) {
            --FControl->FTabIndex;
        }
        FControl->TabsChanged();
    }

    void Clear() override
    {
        if (FItems.empty()) return;
        FItems.clear();
        if (FControl->HandleAllocated()) SendMessageA(FControl->Handle(), TCM_DELETEALLITEMS, 0, 0);
        FControl->FTabIndex = -1;
        FControl->TabsChanged();
    }

    // A new window gets every tab.
    void Fill(HWND window)
    {
        for (int i = 0; i < Count(); ++i) InsertTab(window, i);
    }

private:
    TTabControl* FControl;
    std::vector<std::pair<std::string, TObject*>> FItems;

    void InsertTab(HWND window, int index)
    {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(FItems[size_t(index)].first.c_str());
        SendMessageA(window, TCM_INSERTITEMA, WPARAM(index), reinterpret_cast<LPARAM>(&item));
    }
};

TTabControl::TTabControl(TComponent* owner) : TWinControl(owner), FTabs(new TTabStrings(this))
{
    ControlStyle = (ControlStyle | csAcceptsControls) & ~unsigned(csSetCaption);
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
}

TTabControl::~TTabControl()
{
    BeginDestroy();
    // The window goes first: its last messages must not find the tabs gone.
    DestroyHandle();
    delete FTabs;
}

TStrings* TTabControl::Tabs() const { return FTabs; }

void TTabControl::SetTabs(TStrings* tabs) { FTabs->Assign(tabs); }

int TTabControl::TabIndex() const
{
    if (HandleAllocated()) return int(SendMessageA(const_cast<TTabControl*>(this)->Handle(), TCM_GETCURSEL, 0, 0));
    return FTabIndex;
}

void TTabControl::SetTabIndex(int index)
{
    // A form resource may select a tab before it names the tabs.
    if (!Loading() && (index < -1 || index >= FTabs->Count())) return;
    FTabIndex = index;
    if (HandleAllocated()) {
        SendMessageA(Handle(), TCM_SETCURSEL, WPARAM(index), 0);
        FTabIndex = TabIndex();
    }
}

void TTabControl::SetMultiLine(bool value)
{
    if (value == FMultiLine) return;
    FMultiLine = value;
    RecreateWnd();
    Realign();
}

void TTabControl::SetTabPosition(TTabPosition position)
{
    if (position == FTabPosition) return;
    FTabPosition = position;
    RecreateWnd();
    Realign();
}

void TTabControl::SetStyle(TTabStyle style)
{
    if (style == FStyle) return;
    FStyle = style;
    RecreateWnd();
    Realign();
}

void TTabControl::TabsChanged()
{
    if (HandleAllocated()) FTabIndex = TabIndex();
    // More or fewer rows of tabs move the display area.
    Realign();
}

void TTabControl::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SubclassOf = WC_TABCONTROLA;
    params.Style |= WS_CLIPCHILDREN;
    if (FMultiLine) params.Style |= TCS_MULTILINE;
    switch (FTabPosition) {
    case tpTop: break;
    case tpBottom: params.Style |= TCS_BOTTOM; break;
    case tpLeft: params.Style |= TCS_VERTICAL | TCS_MULTILINE; break;
    case tpRight: params.Style |= TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE; break;
    }
    if (FStyle == tsButtons) params.Style |= TCS_BUTTONS;
    if (FStyle == tsFlatButtons) params.Style |= TCS_BUTTONS | TCS_FLATBUTTONS;
}

void TTabControl::CreateWnd()
{
    TWinControl::CreateWnd();
    HWND window = Handle();
    int selected = FTabIndex;
    FTabs->Fill(window);
    if (selected >= FTabs->Count()) selected = FTabs->Count() > 0 ? 0 : -1;
    SendMessageA(window, TCM_SETCURSEL, WPARAM(selected), 0);
    FTabIndex = TabIndex();
}

void TTabControl::DestroyWnd()
{
    if (HandleAllocated()) FTabIndex = TabIndex();
    TWinControl::DestroyWnd();
}

RECT TTabControl::DisplayRect()
{
    RECT r = TWinControl::ClientRect();
    if (HandleAllocated()) {
        SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    } else {
        // Until the window can say, one row of tabs of the usual height.
        const int margin = 4, tabs = 24;
        switch (FTabPosition) {
        case tpTop: InflateRect(&r, -margin, -margin); r.top += tabs - margin; break;
        case tpBottom: InflateRect(&r, -margin, -margin); r.bottom -= tabs - margin; break;
        case tpLeft: InflateRect(&r, -margin, -margin); r.left += tabs - margin; break;
        case tpRight: InflateRect(&r, -margin, -margin); r.right -= tabs - margin; break;
        }
    }
    r.right = std::max(r.left, r.right);
    r.bottom = std::max(r.top, r.bottom);
    return r;
}

RECT TTabControl::ClientRect()
{
    return DisplayRect();
}

RECT TTabControl::TabRect(int index)
{
    RECT r = {0, 0, 0, 0};
    if (index >= 0 && index < FTabs->Count())
        SendMessageA(Handle(), TCM_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r));
    return r;
}

int TTabControl::IndexOfTabAt(int x, int y)
{
    TCHITTESTINFO info = {};
    info.pt = POINT{x, y};
    return int(SendMessageA(Handle(), TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
}

bool TTabControl::CanChange()
{
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    return allow;
}

void TTabControl::Change()
{
    if (OnChange) OnChange(this);
}

void TTabControl::PaintWithControls(TMessage& m)
{
    // The platform paints the tabs into our context; the windowless
    // children go on top, as on any other container.
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    PAINTSTRUCT ps;
    bool own = dc == nullptr;
    if (own) {
        dc = BeginPaint(Handle(), &ps);
        m.WParam = reinterpret_cast<WPARAM>(dc);
    }
    try {
        DefaultHandler(m);
        PaintControls(dc, nullptr);
    } catch (...) {
        if (own) EndPaint(Handle(), &ps);
        throw;
    }
    if (own) EndPaint(Handle(), &ps);
}

void TTabControl::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case CN_NOTIFY:
        switch (reinterpret_cast<NMHDR*>(m.LParam)->code) {
        case TCN_SELCHANGING:
            m.Result = CanChange() ? FALSE : TRUE;
            return;
        case TCN_SELCHANGE:
            FTabIndex = TabIndex();
            Change();
            return;
        }
        break;
    case WM_PAINT: {
        bool windowless = false;
        for (int i = 0; i < ControlCount() && !windowless; ++i)
            windowless = dynamic_cast<TWinControl*>(Controls(i)) == nullptr;
        if (!windowless) break;
        PaintWithControls(m);
        return;
    }
    }
    TWinControl::Dispatch(m);
}

TPersistent* TTabControl::PropertyObject(const std::string& name)
{
    if (name == "Tabs") return FTabs;
    return TWinControl::PropertyObject(name);
}

bool TTabControl::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames positions = {"tpTop", "tpBottom", "tpLeft", "tpRight"};
    static const TEnumNames styles = {"tsTabs", "tsButtons", "tsFlatButtons"};
    if (name == "TabIndex") SetTabIndex(reader.ReadInteger());
    else if (name == "MultiLine") SetMultiLine(reader.ReadBool());
    else if (name == "TabPosition") SetTabPosition(TTabPosition(reader.ReadEnum(positions)));
    else if (name == "Style") SetStyle(TTabStyle(reader.ReadEnum(styles)));
    else if (name == "OnChanging") OnChanging = reader.ReadEvent<TTabChangingEvent>();
    else if (name == "OnChange") OnChange = reader.ReadEvent<TNotifyEvent>();
    else return TWinControl::ReadProperty(name, reader);
    return true;
}
