// TGantOpenDialog: the open dialog for map files, with a read-only preview
// of the selected map's notes below the standard controls (the dialog
// template "QVTEMPLATE" makes the room for it).
#pragma once

#include "Dialogs.h"
#include "Edit.h"
#include "Panel.h"

#include <string>

class TGantOpenDialog : public TOpenDialog {
    GANTREL_CLASS(TGantOpenDialog)

    explicit TGantOpenDialog(TComponent* owner);

    bool Execute() override;
    bool ValidRunFile(const std::string& fileName) { (void)fileName; return true; }
    // Fills the preview with the file's notes, or clears and disables it.
    void LoadRun(const std::string& fileName);

    TPanel* Panel() const { return FPanel; }
    TMemo* Memo() const { return FMemo; }

protected:
    void DoSelectionChange() override;
    void DoShow() override;
    void WndProc(TMessage& message) override;

private:
    TPanel* FPanel;
    TMemo* FMemo;
};

void RegisterOpenDialogClasses();
