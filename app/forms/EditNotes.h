// TEditNotes, the window in which a map's notes are read and replaced.
// While it is open the main window's file and transfer commands are off,
// so that the note cannot change under it.
#pragma once

#include "Button.h"
#include "Edit.h"
#include "Form.h"
#include "ResizerPanel.h"

class TEditNotes : public TForm {
    GANTREL_CLASS(TEditNotes)

    explicit TEditNotes(TComponent* owner);

    TResizerPanel* ResizerPanel1 = nullptr;
    TMemo* Memo1 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;

    void FormCreate(TObject* sender);
    void Button1Click(TObject* sender);
    void Button2Click(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);
    void LoadNotes();

    static const TFormTable* Table();

private:
    void EnableMainCommands();
};
