#include "EffectClasses.h"

#include "AniImage.h"
#include "Bevels.h"
#include "CaptionLabels.h"
#include "EffectPanels.h"
#include "ShapedPanels.h"
#include "Sliders.h"
#include "WaveSound.h"

void RegisterEffectClasses()
{
    RegisterWaveSoundClasses();
    RegisterEffectPanelClasses();
    RegisterShapedPanelClasses();
    RegisterCaptionLabelClasses();
    RegisterAniImageClasses();
    RegisterBevelClasses();
    RegisterSliderClasses();
}
