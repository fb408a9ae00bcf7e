// The skinned controls the windows name, and the few direct
// calls the application makes into them.
//
// Until those controls exist, the form resources place the framework's
// standard control of the same role under the same component name, and
// these names stand for the standard classes. Replacing a stand-in means
// changing its class here and in the form resources, nothing else.
#pragma once

#include "Button.h"
#include "CheckBox.h"
#include "Label.h"
#include "Menu.h"
#include "Panel.h"
#include "TabControl.h"
#include "TrackBar.h"

#include <string>

using TEpPopupMenu = TPopupMenu;
using TEpItem = TMenuItem;
using TEpIITabControl = TTabControl;
using TEpCheckBox = TCheckBox;
using TEpRadioButton = TRadioButton;
using TEpTrackBar = TTrackBar;
using TEpButton = TButton;

// A popup menu item's caption and check mark.
inline void SetItemCaption(TEpItem* item, const std::string& caption) { item->SetCaption(caption); }
inline void SetItemChecked(TEpItem* item, bool checked) { item->SetChecked(checked); }
// The font of a popup menu's items (the platform's menus keep the system's).
inline void SetPopupItemFont(TEpPopupMenu* menu, TFont* font) { (void)menu; (void)font; }
// Selects a tab as the program does (no change event).
inline void SetTabIndex(TEpIITabControl* tabs, int index) { tabs->SetTabIndex(index); }
inline bool GetChecked(TEpCheckBox* box) { return box->Checked(); }
inline bool GetChecked(TEpRadioButton* button) { return button->Checked(); }
inline void SetTrackPosition(TEpTrackBar* bar, int position) { bar->SetPosition(position); }
