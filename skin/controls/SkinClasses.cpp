#include "SkinClasses.h"

#include "BitmapLists.h"
#include "CheckBoxes.h"
#include "Panels.h"
#include "ScrollBars.h"
#include "TrackBars.h"

void RegisterSkinClasses()
{
    RegisterBitmapListClasses();
    RegisterClasses<TKsCustomControl, TMpCustomControl, TMpGraphicControl, TMpCustomScrollBar, TKsCustomPanel, TEpPanel,
                    TKsCustomStatusBar, TKsCustomToolBar>();
    RegisterCheckBoxClasses();
    RegisterTrackBarClasses();
}
