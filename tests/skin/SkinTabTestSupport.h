// What the tab control's tests share: controls whose tabs have widths set
// by the test, a watch over the change events, and a pixel count.
#pragma once

#include "SkinControlTestSupport.h"
#include "TabControls.h"

#include <string>
#include <vector>

namespace SkinTest {

// Tab i is Widths[i] wide (the last width repeats), whatever its caption.
template <class Base>
class TSizedTabs : public Base {
public:
    explicit TSizedTabs(TComponent* owner) : Base(owner) {}
    const char* ClassName() const override { return "TSizedTabs"; }
    std::vector<int> Widths{60};
    int GetTabWidth(int index) override
    {
        if (index < 0 || index >= this->GetTabCount() || Widths.empty()) return 0;
        return Widths[std::min(size_t(index), Widths.size() - 1)];
    }
};
using TSizedKsTabs = TSizedTabs<TKsCustomTabControl>;
using TSizedEpTabs = TSizedTabs<TEpIITabControl>;

// What the events told: the index OnChanging saw, each OnChange with the
// index then current.
struct TTabWatch : TObject {
    TKsCustomTabControl* Control = nullptr;
    std::vector<int> Changing;
    std::vector<int> Changed;
    bool Refuse = false;
    void OnChanging(TObject*, bool& allow)
    {
        Changing.push_back(Control->TabIndex());
        if (Refuse) allow = false;
    }
    void OnChange(TObject*) { Changed.push_back(Control->TabIndex()); }
    void Attach(TKsCustomTabControl* control)
    {
        Control = control;
        control->OnChanging = MakeEvent<&TTabWatch::OnChanging>(this);
        control->OnChange = MakeEvent<&TTabWatch::OnChange>(this);
    }
};

inline void AddTabs(TKsCustomTabControl* c, int count, const std::string& prefix = "Tab")
{
    c->Tabs()->BeginUpdate();
    for (int i = 0; i < count; ++i) c->Tabs()->Add(prefix + std::to_string(i));
    c->Tabs()->EndUpdate();
}

// Every pixel of rect (clipped to the control) in the control's buffer.
template <class C>
int CountPixels(C* c, const RECT& rect, const std::function<bool(TKColor, int, int)>& ok)
{
    GdiFlush();
    int bad = 0;
    for (int y = std::max<int>(0, rect.top); y < std::min<int>(c->Height(), rect.bottom); ++y)
        for (int x = std::max<int>(0, rect.left); x < std::min<int>(c->Width(), rect.right); ++x)
            if (!ok(c->Buffer()->GetPixel(x, y), x, y)) ++bad;
    return bad;
}

// A system colour as the buffer holds it.
inline TKColor SysRgb(int index)
{
    const COLORREF c = GetSysColor(index);
    return (TKColor(GetRValue(c)) << 16) | (TKColor(GetGValue(c)) << 8) | TKColor(GetBValue(c));
}

}  // namespace SkinTest
