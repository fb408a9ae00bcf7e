#include "SkinClasses.h"

#include "BitmapLists.h"
#include "Buttons.h"
#include "CheckBoxes.h"
#include "Frames.h"
#include "LeafForms.h"
#include "MenuItems.h"
#include "Menus.h"
#include "Panels.h"
#include "ScrollBars.h"
#include "TabControls.h"
#include "TrackBars.h"

void RegisterSkinClasses()
{
    RegisterBitmapListClasses();
    RegisterClasses<TKsCustomControl, TMpCustomControl, TMpGraphicControl, TMpCustomScrollBar, TKsCustomPanel, TEpPanel,
                    TKsCustomStatusBar, TKsCustomToolBar>();
    RegisterTabControlClasses();
    RegisterClasses<TKsCustomButton, TEpButton, TMpCustomButton, TMpMediaButton>();
    RegisterCheckBoxClasses();
    RegisterTrackBarClasses();
    RegisterClasses<TKsCustomForm, TMpCustomForm>();
    RegisterClasses<TEpForm, TMpMediaForm>();
    RegisterClasses<TKsCustomItem, TMpCustomItem>();
    RegisterMenuClasses();
}
