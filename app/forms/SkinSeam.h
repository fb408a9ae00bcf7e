// The skinned controls the windows name: the tab control, buttons, check
// boxes, radio buttons, track bars and popup menus are the skin library's
// own.
#pragma once

#include "Buttons.h"
#include "CheckBoxes.h"
#include "EpMenus.h"
#include "Label.h"
#include "Panel.h"
#include "TabControls.h"
#include "TrackBars.h"

