// The status bar, progress bar, tab control and track bar classes that
// form resources may name.
#include "ProgressBar.h"
#include "StatusBar.h"
#include "TabControl.h"
#include "TrackBar.h"

void RegisterComCtrlsClasses()
{
    RegisterClasses<TStatusBar, TProgressBar, TTabControl, TTrackBar>();
}
