// The notes window, seen from the main window.
#include "Form1.h"

#include "EditNotes.h"

void TForm1::Button1Click(TObject*)
{
    if (CompareWindowOpen) return;
    if (!NotesWindow) {
        Button3->SetEnabled(false);
        NotesWindow = NewForm<TEditNotes>(this);
    }
    NotesWindow->Show();
}

void TForm1::SetFileCommandsEnabled(bool enabled)
{
    for (TButton* button : {Button1, Button3, Button4, Button5, Button7, Button8, Button9, Button10})
        button->SetEnabled(enabled);
    // Nothing may load another map while the notes window shows this one.
    if (!enabled) SetLoadCommandsEnabled(false);
}

void TForm1::SetLoadCommandsEnabled(bool enabled)
{
    Load1->SetEnabled(enabled);
    LoadFile1->SetEnabled(enabled);
    SendMapsToHandheld1->SetEnabled(enabled);
}
