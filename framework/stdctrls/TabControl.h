// TTabControl: the platform's tab control as a container. Its children sit
// in the display area under the tabs (its ClientRect); the tabs are a
// TStrings that changes the control as it changes.
#pragma once

#include "Strings.h"
#include "WinControl.h"

#include <string>
#include <utility>
#include <vector>

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };

using TTabChangingEvent = TEvent<void(TObject*, bool&)>;

class TTabControl : public TWinControl {
    GANTREL_CLASS(TTabControl)

    explicit TTabControl(TComponent* owner);
    ~TTabControl() override;

    TStrings* Tabs() const;
    void SetTabs(TStrings* tabs);
    // The selected tab, -1 for none. Setting it runs neither OnChanging
    // nor OnChange: those are for the user's switches.
    int TabIndex() const;
    void SetTabIndex(int index);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool value);
    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition position);
    TTabStyle Style() const { return FStyle; }
    void SetStyle(TTabStyle style);

    // The area under the tabs, in the control's coordinates.
    RECT DisplayRect();
    RECT ClientRect() override;
    // The rectangle of tab index, and the tab at a point (-1: none).
    RECT TabRect(int index);
    int IndexOfTabAt(int x, int y);

    // Before the user's switch; AllowChange = false keeps the current tab.
    TTabChangingEvent OnChanging;
    // After the user switched tabs.
    TNotifyEvent OnChange;

    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual bool CanChange();
    virtual void Change();

private:
    class TTabStrings;
    friend class TTabStrings;
    TTabStrings* FTabs;
    int FTabIndex = -1;
    bool FMultiLine = false;
    TTabPosition FTabPosition = tpTop;
    TTabStyle FStyle = tsTabs;
    void TabsChanged();
    void PaintWithControls(TMessage& m);
};
