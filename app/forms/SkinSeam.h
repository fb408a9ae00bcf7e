// The skinned controls the windows name, and the controls that still stand
// in for skinned ones.
//
// The tab control, buttons, check boxes, radio buttons and track bars are
// the skin library's own. The popup menus are not skinned yet: the form
// resources place the framework's menu under the same component name, and
// these names stand for its classes. Replacing a stand-in means changing
// its class here and in the form resources, nothing else.
#pragma once

#include "Buttons.h"
#include "CheckBoxes.h"
#include "Label.h"
#include "Menu.h"
#include "Panel.h"
#include "TabControls.h"
#include "TrackBars.h"

#include <string>

using TEpPopupMenu = TPopupMenu;
using TEpItem = TMenuItem;

// A popup menu item's caption and check mark.
inline void SetItemCaption(TEpItem* item, const std::string& caption) { item->SetCaption(caption); }
inline void SetItemChecked(TEpItem* item, bool checked) { item->SetChecked(checked); }
// The font of a popup menu's items (the platform's menus keep the system's).
inline void SetPopupItemFont(TEpPopupMenu* menu, TFont* font) { (void)menu; (void)font; }
