// The panel, image, timer, image list and action classes that form
// resources may name.
#include "Action.h"
#include "Image.h"
#include "ImageList.h"
#include "Panel.h"
#include "Timer.h"

void RegisterExtCtrlsClasses()
{
    RegisterClasses<TPanel, TImage, TTimer, TImageList, TActionList, TAction>();
}
