#include "GantOpenDialog.h"

#include "Form1.h"
#include "MapFile.h"

TGantOpenDialog::TGantOpenDialog(TComponent* owner)
    : TOpenDialog(owner), FPanel(new TPanel(this)), FMemo(new TMemo(this))
{
    FPanel->SetBevelOuter(bvNone);
    FMemo->SetParent(FPanel);
    FMemo->SetAlign(alClient);
    FMemo->SetWordWrap(true);
    FMemo->SetReadOnly(true);
    FMemo->SetScrollBars(ssVertical);
    SetTitle(Form1 ? Form1->Text(TextId::OpenMapTitle) : "Open Gantrel File");
}

bool TGantOpenDialog::Execute()
{
    SetTemplate("QVTEMPLATE");
    return TOpenDialog::Execute();
}

void TGantOpenDialog::DoShow()
{
    // The preview takes the template's room below the marker for the
    // standard controls.
    HWND area = TemplateHandle() ? TemplateHandle() : Handle();
    RECT client, marker = {0, 0, 0, 0};
    GetClientRect(area, &client);
    HWND stc = GetDlgItem(area, 1119);
    if (!stc) {
        // Without the template's marker the preview would cover the dialog.
        TOpenDialog::DoShow();
        return;
    }
    GetWindowRect(stc, &marker);
    MapWindowPoints(HWND_DESKTOP, area, reinterpret_cast<POINT*>(&marker), 2);
    FPanel->ParentWindow = area;
    FPanel->SetBounds(client.left, marker.bottom, client.right - client.left, client.bottom - marker.bottom);
    FPanel->HandleNeeded();
    ShowWindow(FPanel->Handle(), SW_SHOW);
    LoadRun("");
    TOpenDialog::DoShow();
}

void TGantOpenDialog::WndProc(TMessage& m)
{
    // The dialog's new client width: the template child it sits in is
    // resized only after this message.
    if (m.Msg == WM_SIZE && FPanel->HandleAllocated() && FPanel->ParentWindow) FPanel->SetWidth(LOWORD(m.LParam) - 8);
    TOpenDialog::WndProc(m);
}

void TGantOpenDialog::DoSelectionChange()
{
    TOpenDialog::DoSelectionChange();
    LoadRun(FileName());
    FMemo->Repaint();
}

void TGantOpenDialog::LoadRun(const std::string& fileName)
{
    std::string notes;
    if (!fileName.empty() && ReadMapPreview(fileName, notes)) {
        FMemo->SetEnabled(true);
        FMemo->SetText(notes);
        return;
    }
    FMemo->Lines()->Clear();
    FMemo->SetEnabled(false);
}

void RegisterOpenDialogClasses()
{
    RegisterClass<TGantOpenDialog>();
}
