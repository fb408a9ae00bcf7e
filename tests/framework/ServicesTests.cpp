// The services: the common dialogs (through the test hook, and the real
// ones under a timer that answers them), message boxes, the clipboard,
// the printer and version resources.
#include "Application.h"
#include "Clipboard.h"
#include "Dialogs.h"
#include "Graphic.h"
#include "Printers.h"
#include "PrintedPdf.h"
#include "Reader.h"
#include "SysUtils.h"
#include "Version.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window)
{
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

void Press(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Answers the dialogs that come up while a test runs: a timer looks for
// the thread's dialog windows and hands each new one to Answer, which
// returns true once it has dealt with it. Dialogs still there after the
// time limit are cancelled, and TimedOut tells the test.
class TDialogWatcher {
public:
    explicit TDialogWatcher(std::function<bool(HWND)> answer, UINT limitMs = 20000)
        : Answer(std::move(answer)), FTicksLeft(int(limitMs / 50))
    {
        FWindow = AllocateHWnd(MakeEvent<&TDialogWatcher::WndProc>(this));
        SetTimer(FWindow, 1, 50, nullptr);
    }
    ~TDialogWatcher()
    {
        KillTimer(FWindow, 1);
        DeallocateHWnd(FWindow);
    }
    TDialogWatcher(const TDialogWatcher&) = delete;
    TDialogWatcher& operator=(const TDialogWatcher&) = delete;

    std::function<bool(HWND)> Answer;
    bool TimedOut = false;
    std::vector<std::string> Seen;  // captions of the dialogs seen, in order

private:
    HWND FWindow;
    int FTicksLeft;
    std::set<HWND> FDone;
    bool FBusy = false;

    static BOOL CALLBACK Collect(HWND window, LPARAM data)
    {
        if (IsWindowVisible(window) && ClassOf(window) == "#32770")
            reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
        return TRUE;
    }

    void WndProc(TMessage& m)
    {
        if (m.Msg != WM_TIMER) {
            m.Result = DefWindowProcA(FWindow, m.Msg, m.WParam, m.LParam);
            return;
        }
        // An answer may itself run a modal loop that brings us back here.
        if (FBusy) return;
        FBusy = true;
        std::vector<HWND> dialogs;
        EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(&dialogs));
        bool timeUp = --FTicksLeft <= 0;
        for (HWND dialog : dialogs) {
            if (FDone.count(dialog)) continue;
            if (timeUp) {
                TimedOut = true;
                Press(dialog, IDCANCEL);
                PostMessageA(dialog, WM_CLOSE, 0, 0);
                FDone.insert(dialog);
                continue;
            }
            if (std::find(Seen.begin(), Seen.end(), TextOf(dialog)) == Seen.end()) Seen.push_back(TextOf(dialog));
            if (Answer(dialog)) FDone.insert(dialog);
        }
        FBusy = false;
    }
};

// --- The test hooks ----------------------------------------------------------

TEST(ServicesDialogHook, ExecuteAnswersThroughTheHookWithoutShowingAnything)
{
    std::vector<TCommonDialog*> asked;
    TCommonDialog::ExecuteHook = [&asked](TCommonDialog* dialog) {
        asked.push_back(dialog);
        if (auto* open = dynamic_cast<TOpenDialog*>(dialog)) {
            open->SetFileName("C:\\maps\\base.map");
            return true;
        }
        return false;
    };
    TOpenDialog* open = new TOpenDialog(nullptr);
    TSaveDialog* save = new TSaveDialog(nullptr);
    TFontDialog* font = new TFontDialog(nullptr);
    TPrintDialog* print = new TPrintDialog(nullptr);
    TDialogWatcher watcher([](HWND) { return false; }, 2000);
    EXPECT_TRUE(open->Execute());
    EXPECT_EQ("C:\\maps\\base.map", open->FileName());
    EXPECT_TRUE(save->Execute());
    EXPECT_FALSE(font->Execute());
    EXPECT_FALSE(print->Execute());
    EXPECT_EQ(std::vector<TCommonDialog*>({open, save, font, print}), asked);
    EXPECT_TRUE(watcher.Seen.empty());
    TCommonDialog::ExecuteHook = nullptr;
    EXPECT_FALSE(TCommonDialog::ExecuteHook);
    open->Free();
    save->Free();
    font->Free();
    print->Free();
}

TEST(ServicesDialogHook, MessageDlgAndShowMessageAnswerThroughTheirHook)
{
    struct Question {
        std::string Text;
        TMsgDlgType Type;
        TMsgDlgButtons Buttons;
    };
    std::vector<Question> asked;
    MessageDlgHook = [&asked](const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
        asked.push_back({text, type, buttons});
        return buttons & (1u << mbCancel) ? mrCancel : mrNo;
    };
    EXPECT_EQ(mrCancel, MessageDlg("Save the map?", mtConfirmation, mbYesNoCancel));
    EXPECT_EQ(mrNo, MessageDlg("Overwrite?", mtWarning, mbYesNo));
    ShowMessage("Done");
    MessageDlgHook = nullptr;
    ASSERT_EQ(3u, asked.size());
    EXPECT_EQ("Save the map?", asked[0].Text);
    EXPECT_EQ(mtConfirmation, asked[0].Type);
    EXPECT_EQ((1u << mbYes) | (1u << mbNo) | (1u << mbCancel), asked[0].Buttons);
    EXPECT_EQ(mtWarning, asked[1].Type);
    EXPECT_EQ("Done", asked[2].Text);
    EXPECT_EQ(mtCustom, asked[2].Type);
    EXPECT_EQ(1u << mbOK, asked[2].Buttons);
}

TEST(ServicesDialogHook, AHookCanBeSavedAndPutBack)
{
    MessageDlgHook = [](const std::string&, TMsgDlgType, TMsgDlgButtons) { return mrYes; };
    auto saved = MessageDlgHook.Get();
    MessageDlgHook = [](const std::string&, TMsgDlgType, TMsgDlgButtons) { return mrNo; };
    EXPECT_EQ(mrNo, MessageDlg("?", mtConfirmation, mbYesNo));
    MessageDlgHook = saved;
    EXPECT_EQ(mrYes, MessageDlg("?", mtConfirmation, mbYesNo));
    MessageDlgHook = nullptr;
    EXPECT_FALSE(MessageDlgHook);
}

// --- Message boxes -------------------------------------------------------------

class ServicesMessageDlg : public ::testing::Test {
protected:
    void SetUp() override
    {
        SavedTitle = Application->Title();
        Application->SetTitle("Services test box");
        Form = new TForm(nullptr, 0);
        Form->SetBounds(50, 50, 200, 120);
        Form->Show();
        SetActiveWindow(Form->Handle());
        Application->ProcessMessages();
    }
    void TearDown() override
    {
        Form->Free();
        Application->SetTitle(SavedTitle);
    }

    std::string SavedTitle;
    TForm* Form = nullptr;
};

TEST_F(ServicesMessageDlg, TheBoxHasTheAskedButtonsAndReturnsThePressedOne)
{
    struct Case {
        TMsgDlgButtons Buttons;
        std::vector<int> Ids;
        int Press;
        int Result;
    };
    const std::vector<Case> cases = {
        {mbYesNoCancel, {IDYES, IDNO, IDCANCEL}, IDNO, mrNo},
        {mbYesNo, {IDYES, IDNO}, IDYES, mrYes},
        {1u << mbOK, {IDOK}, IDOK, mrOk},
        {mbOKCancel, {IDOK, IDCANCEL}, IDCANCEL, mrCancel},
        {mbAbortRetryIgnore, {IDABORT, IDRETRY, IDIGNORE}, IDIGNORE, mrIgnore},
        {mbRetryCancel, {IDRETRY, IDCANCEL}, IDRETRY, mrRetry},
    };
    for (const Case& c : cases) {
        std::vector<int> present;
        bool formEnabled = true;
        HWND owner = nullptr;
        TDialogWatcher watcher([&](HWND box) {
            if (TextOf(box) != "Services test box") return false;
            for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO})
                if (GetDlgItem(box, id)) present.push_back(id);
            formEnabled = IsWindowEnabled(Form->Handle()) != FALSE;
            owner = GetWindow(box, GW_OWNER);
            Press(box, c.Press);
            return true;
        });
        int result = MessageDlg("Question", mtConfirmation, c.Buttons);
        EXPECT_FALSE(watcher.TimedOut);
        std::vector<int> expected = c.Ids;
        std::sort(expected.begin(), expected.end());
        std::sort(present.begin(), present.end());
        EXPECT_EQ(expected, present) << "buttons " << c.Buttons;
        EXPECT_EQ(c.Result, result) << "buttons " << c.Buttons;
        // Modal: the active form owns the box and takes no input meanwhile.
        EXPECT_EQ(Form->Handle(), owner);
        EXPECT_FALSE(formEnabled);
        EXPECT_TRUE(IsWindowEnabled(Form->Handle()));
    }
}

TEST_F(ServicesMessageDlg, OtherFormsAreDisabledWhileABoxShows)
{
    TForm* other = new TForm(nullptr, 0);
    other->SetBounds(300, 50, 150, 100);
    other->Show();
    SetActiveWindow(Form->Handle());
    Application->ProcessMessages();
    bool otherEnabled = true;
    TDialogWatcher watcher([&](HWND box) {
        otherEnabled = IsWindowEnabled(other->Handle()) != FALSE;
        Press(box, IDOK);
        return true;
    });
    ShowMessage("Saved.");
    EXPECT_FALSE(watcher.TimedOut);
    EXPECT_EQ(std::vector<std::string>({"Services test box"}), watcher.Seen);
    EXPECT_FALSE(otherEnabled);
    EXPECT_TRUE(IsWindowEnabled(other->Handle()));
    other->Free();
}

// --- The real file dialog --------------------------------------------------------

// A platform button as a framework control: its clicks come back to it.
class TProbeButton : public TWinControl {
    GANTREL_CLASS(TProbeButton)
    using TWinControl::TWinControl;
    int Clicks = 0;

protected:
    void CreateParams(TCreateParams& params) override
    {
        TWinControl::CreateParams(params);
        params.SubclassOf = "BUTTON";
        params.Style |= BS_PUSHBUTTON;
    }
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
            ++Clicks;
            return;
        }
        TWinControl::Dispatch(m);
    }
};

// A dialog extended the way the program's dialogs are: a template, a
// framework control inside it, and its own handling of the dialog's messages.
class TProbeOpenDialog : public TOpenDialog {
    GANTREL_CLASS(TProbeOpenDialog)
    using TOpenDialog::TOpenDialog;

    HWND ShownHandle = nullptr;
    HWND ShownTemplate = nullptr;
    bool TemplateControlFound = false;
    bool PanelInDialog = false;
    bool HandleValidOnClose = false;
    int Sizes = 0;
    int Selections = 0, FolderChanges = 0, TypeChanges = 0;
    std::vector<std::string> SelectedNames;
    int FilterIndexOnTypeChange = 0;
    TCustomControl* Panel = nullptr;
    TProbeButton* Button = nullptr;
    int ButtonClicks = -1, DialogButtonClicks = -1;
    bool ThrowOnShow = false;

protected:
    void DoShow() override
    {
        ShownHandle = Handle();
        ShownTemplate = TemplateHandle();
        TemplateControlFound = GetDlgItem(TemplateHandle(), 3001) != nullptr;
        Panel = new TCustomControl(this);
        Panel->ParentWindow = TemplateHandle();
        Panel->SetBounds(200, 2, 40, 20);
        Panel->HandleNeeded();
        PanelInDialog = IsChild(Handle(), Panel->Handle()) != FALSE;
        // Platform controls tell their parent window, the template's child
        // dialog or the dialog itself, about a click.
        Button = new TProbeButton(this);
        Button->ParentWindow = TemplateHandle();
        Button->SetBounds(250, 2, 40, 20);
        SendMessageA(Button->Handle(), BM_CLICK, 0, 0);
        ButtonClicks = Button->Clicks;
        Button->Free();
        Button = new TProbeButton(this);
        Button->ParentWindow = Handle();
        Button->SetBounds(0, 0, 10, 10);
        SendMessageA(Button->Handle(), BM_CLICK, 0, 0);
        DialogButtonClicks = Button->Clicks;
        Button->Free();
        Button = nullptr;
        TOpenDialog::DoShow();
        if (ThrowOnShow) throw EInvalidOperation("Probe failure");
    }
    void DoClose() override
    {
        HandleValidOnClose = IsWindow(Handle()) && Panel && Panel->HandleAllocated() && IsWindow(Panel->Handle());
        if (Panel) Panel->Free();
        Panel = nullptr;
        TOpenDialog::DoClose();
    }
    void DoSelectionChange() override
    {
        ++Selections;
        SelectedNames.push_back(FileName());
        TOpenDialog::DoSelectionChange();
    }
    void DoFolderChange() override
    {
        ++FolderChanges;
        TOpenDialog::DoFolderChange();
    }
    void DoTypeChange() override
    {
        ++TypeChanges;
        FilterIndexOnTypeChange = FilterIndex();
        TOpenDialog::DoTypeChange();
    }

public:
    void WndProc(TMessage& m) override
    {
        if (m.Msg == WM_SIZE) ++Sizes;
        TOpenDialog::WndProc(m);
    }
};

// A folder of its own with a few files in it.
class ServicesFileDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        Folder = std::string(temp) + "gantrel-services-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(Folder.c_str(), nullptr);
        for (const char* name : {"a.txt", "b.txt", "c.map"}) {
            FILE* f = std::fopen((Folder + "\\" + name).c_str(), "w");
            if (f) std::fclose(f);
        }
        Dialog = new TProbeOpenDialog(nullptr);
        Dialog->SetTitle("Services probe dialog");
        Dialog->SetInitialDir(Folder);
        Dialog->SetFilter("Text files|*.txt|All files|*.*");
    }
    void TearDown() override
    {
        Dialog->Free();
        for (const char* name : {"a.txt", "b.txt", "c.map"}) DeleteFileA((Folder + "\\" + name).c_str());
        RemoveDirectoryA(Folder.c_str());
    }

    // Types names into the dialog's file name box and presses Open.
    static void Choose(HWND dialog, const std::string& names)
    {
        SendMessageA(dialog, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(names.c_str()));
        Press(dialog, IDOK);
    }

    std::string Folder;
    TProbeOpenDialog* Dialog = nullptr;
};

TEST_F(ServicesFileDialog, TheRealDialogShowsWithItsTemplateAndIsCancelled)
{
    Dialog->SetTemplate("TESTTEMPLATE");
    int shows = 0, closes = 0;
    struct Counter {
        int* Shows;
        int* Closes;
        void Show(TObject*) { ++*Shows; }
        void Close(TObject*) { ++*Closes; }
    } counter{&shows, &closes};
    Dialog->OnShow = MakeEvent<&Counter::Show>(&counter);
    Dialog->OnClose = MakeEvent<&Counter::Close>(&counter);
    // The active form owns the dialog; the other forms wait.
    TForm* form = new TForm(nullptr, 0);
    form->SetBounds(40, 40, 200, 100);
    form->Show();
    TForm* other = new TForm(nullptr, 0);
    other->SetBounds(300, 40, 200, 100);
    other->Show();
    SetActiveWindow(form->Handle());
    Application->ProcessMessages();
    HWND owner = nullptr;
    bool otherEnabled = true;
    HWND found = nullptr;
    std::string foundClass;
    bool resized = false;
    int sizesBefore = 0;
    TDialogWatcher watcher([&](HWND dialog) {
        if (TextOf(dialog) != "Services probe dialog") return false;
        if (!resized) {
            owner = GetWindow(dialog, GW_OWNER);
            otherEnabled = IsWindowEnabled(other->Handle()) != FALSE;
            // The whole dialog's WM_SIZE reaches WndProc.
            found = dialog;
            foundClass = ClassOf(dialog);
            sizesBefore = Dialog->Sizes;
            RECT r;
            GetWindowRect(dialog, &r);
            SetWindowPos(dialog, nullptr, 0, 0, r.right - r.left + 40, r.bottom - r.top + 30, SWP_NOMOVE | SWP_NOZORDER);
            resized = true;
            return false;
        }
        Press(dialog, IDCANCEL);
        return true;
    });
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_FALSE(watcher.TimedOut);
    EXPECT_EQ(found, Dialog->ShownHandle);
    EXPECT_EQ("#32770", foundClass);
    EXPECT_NE(nullptr, Dialog->ShownTemplate);
    EXPECT_NE(found, Dialog->ShownTemplate);
    EXPECT_TRUE(Dialog->TemplateControlFound);
    EXPECT_TRUE(Dialog->PanelInDialog);
    EXPECT_EQ(1, Dialog->ButtonClicks);
    EXPECT_EQ(1, Dialog->DialogButtonClicks);
    EXPECT_TRUE(Dialog->HandleValidOnClose);
    EXPECT_GT(Dialog->Sizes, sizesBefore);
    EXPECT_EQ(1, shows);
    EXPECT_EQ(1, closes);
    // Nothing chosen is no file (not the folder shown).
    ASSERT_FALSE(Dialog->SelectedNames.empty());
    EXPECT_EQ("", Dialog->SelectedNames.front());
    // Gone with the dialog.
    EXPECT_EQ(nullptr, Dialog->Handle());
    EXPECT_EQ(nullptr, Dialog->TemplateHandle());
    EXPECT_FALSE(IsWindow(found));
    EXPECT_EQ(form->Handle(), owner);
    EXPECT_FALSE(otherEnabled);
    EXPECT_TRUE(IsWindowEnabled(other->Handle()));
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
    other->Free();
    form->Free();
}

BOOL CALLBACK FindListView(HWND window, LPARAM data)
{
    if (ClassOf(window) != "SysListView32") return TRUE;
    *reinterpret_cast<HWND*>(data) = window;
    return FALSE;
}

TEST_F(ServicesFileDialog, TheSelectedFileIsTheFileNameWhileTheDialogRunsAndCancelKeepsTheOldOne)
{
    Dialog->SetFileName("start.txt");
    TDialogWatcher watcher([&](HWND dialog) {
        if (TextOf(dialog) != "Services probe dialog") return false;
        HWND list = nullptr;
        EnumChildWindows(dialog, &FindListView, reinterpret_cast<LPARAM>(&list));
        if (list) {
            // The first file of the list ("a.txt", the filter shows the texts).
            LVITEMA item = {};
            item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            item.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
        }
        Press(dialog, IDCANCEL);
        return true;
    });
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_FALSE(watcher.TimedOut);
    // First the name proposed, in the folder shown; then the one clicked.
    ASSERT_GE(Dialog->SelectedNames.size(), 2u);
    EXPECT_TRUE(SameText(Folder + "\\start.txt", Dialog->SelectedNames.front())) << Dialog->SelectedNames.front();
    EXPECT_TRUE(SameText(Folder + "\\a.txt", Dialog->SelectedNames.back())) << Dialog->SelectedNames.back();
    EXPECT_EQ("start.txt", Dialog->FileName());
}

TEST_F(ServicesFileDialog, ChosenFilesAndTheFilterComeBack)
{
    Dialog->SetFilterIndex(2);
    TDialogWatcher watcher([&](HWND dialog) {
        if (TextOf(dialog) != "Services probe dialog") return false;
        Choose(dialog, "c.map");
        return true;
    });
    ASSERT_TRUE(Dialog->Execute());
    EXPECT_FALSE(watcher.TimedOut);
    EXPECT_TRUE(SameText(Folder + "\\c.map", Dialog->FileName())) << Dialog->FileName();
    ASSERT_EQ(1, Dialog->Files()->Count());
    EXPECT_EQ(Dialog->FileName(), Dialog->Files()->Get(0));
    EXPECT_EQ(2, Dialog->FilterIndex());
    EXPECT_GE(Dialog->FolderChanges, 1);
}

TEST_F(ServicesFileDialog, SeveralChosenFilesComeBackWithTheirFolder)
{
    Dialog->SetOptions(Dialog->Options() | (1u << ofAllowMultiSelect) | (1u << ofFileMustExist));
    TDialogWatcher watcher([&](HWND dialog) {
        if (TextOf(dialog) != "Services probe dialog") return false;
        Choose(dialog, "\"a.txt\" \"b.txt\"");
        return true;
    });
    ASSERT_TRUE(Dialog->Execute());
    EXPECT_FALSE(watcher.TimedOut);
    ASSERT_EQ(2, Dialog->Files()->Count());
    EXPECT_TRUE(SameText(Folder + "\\a.txt", Dialog->Files()->Get(0))) << Dialog->Files()->Get(0);
    EXPECT_TRUE(SameText(Folder + "\\b.txt", Dialog->Files()->Get(1))) << Dialog->Files()->Get(1);
    EXPECT_EQ(Dialog->Files()->Get(0), Dialog->FileName());
}

TEST_F(ServicesFileDialog, ChangingTheFilterTellsTheDialog)
{
    TDialogWatcher watcher([&](HWND dialog) {
        if (TextOf(dialog) != "Services probe dialog") return false;
        HWND types = GetDlgItem(dialog, cmb1);
        SendMessageA(types, CB_SETCURSEL, 1, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
        Press(dialog, IDCANCEL);
        return true;
    });
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_FALSE(watcher.TimedOut);
    EXPECT_EQ(1, Dialog->TypeChanges);
    EXPECT_EQ(2, Dialog->FilterIndexOnTypeChange);
}

TEST_F(ServicesFileDialog, AnExceptionInDoShowStaysInsideTheDialog)
{
    Dialog->ThrowOnShow = true;
    bool errorShown = false;
    TDialogWatcher watcher([&](HWND dialog) {
        if (TextOf(dialog) == "Services probe dialog") {
            // Only once the error has been reported.
            if (!errorShown) return false;
            Press(dialog, IDCANCEL);
            return true;
        }
        errorShown = true;
        Press(dialog, IDOK);
        return true;
    });
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_FALSE(watcher.TimedOut);
    EXPECT_TRUE(errorShown);
    EXPECT_EQ(nullptr, Dialog->Handle());
}

TEST_F(ServicesFileDialog, AMissingTemplateIsAnError)
{
    Dialog->SetTemplate("NOSUCHTEMPLATE");
    TDialogWatcher watcher([](HWND dialog) {
        Press(dialog, IDCANCEL);
        return true;
    });
    EXPECT_THROW(Dialog->Execute(), EInvalidOperation);
    EXPECT_TRUE(watcher.Seen.empty());
}

TEST_F(ServicesFileDialog, TheSaveDialogRunsToo)
{
    TSaveDialog* save = new TSaveDialog(nullptr);
    save->SetTitle("Services save dialog");
    save->SetInitialDir(Folder);
    save->SetDefaultExt(".map");
    EXPECT_EQ("map", save->DefaultExt());
    TDialogWatcher watcher([&](HWND dialog) {
        if (TextOf(dialog) != "Services save dialog") return false;
        Choose(dialog, "new");
        return true;
    });
    EXPECT_TRUE(save->Execute());
    EXPECT_FALSE(watcher.TimedOut);
    EXPECT_TRUE(SameText(Folder + "\\new.map", save->FileName())) << save->FileName();
    save->Free();
}

// --- Font and print dialogs --------------------------------------------------------

TEST(ServicesFontDialog, TheFontGoesInAndComesBack)
{
    TFontDialog* dialog = new TFontDialog(nullptr);
    dialog->Font()->SetName("Tahoma");
    dialog->Font()->SetSize(12);
    dialog->Font()->SetStyle(1u << fsBold);
    dialog->Font()->SetColor(clRed);
    // Change the copy the dialog started with: it must come back as it went in.
    TFont before;
    before.Assign(dialog->Font());
    dialog->Font()->SetName("Courier");
    dialog->Font()->Assign(&before);
    HWND shown = nullptr;
    std::string shownClass;
    struct Probe {
        TFontDialog* Dialog;
        HWND* Shown;
        std::string* Class;
        void Show(TObject*)
        {
            *Shown = Dialog->Handle();
            *Class = ClassOf(*Shown);
        }
    } probe{dialog, &shown, &shownClass};
    dialog->OnShow = MakeEvent<&Probe::Show>(&probe);
    TDialogWatcher watcher([&](HWND window) {
        if (window != dialog->Handle()) return false;
        Press(window, IDOK);
        return true;
    });
    ASSERT_TRUE(dialog->Execute());
    EXPECT_FALSE(watcher.TimedOut);
    EXPECT_NE(nullptr, shown);
    EXPECT_EQ("#32770", shownClass);
    EXPECT_EQ("Tahoma", dialog->Font()->Name());
    EXPECT_EQ(12, dialog->Font()->Size());
    EXPECT_EQ(1u << fsBold, dialog->Font()->Style());
    EXPECT_EQ(clRed, dialog->Font()->Color());
    dialog->Free();
}

TEST(ServicesPrintDialog, WithoutAPrinterItRaisesOtherwiseItIsCancelled)
{
    TPrintDialog* dialog = new TPrintDialog(nullptr);
    TDialogWatcher watcher([](HWND window) {
        Press(window, IDCANCEL);
        return true;
    });
    if (Printer()->PrinterName().empty()) {
        EXPECT_THROW(dialog->Execute(), EPrinter);
        EXPECT_TRUE(watcher.Seen.empty());
    } else {
        EXPECT_FALSE(dialog->Execute());
        EXPECT_FALSE(watcher.TimedOut);
    }
    dialog->Free();
}

// --- Form resources ------------------------------------------------------------------

class TDialogsForm : public TForm {
    GANTREL_CLASS(TDialogsForm)
    explicit TDialogsForm(TComponent* owner) : TForm(owner, 0) {}

    TOpenDialog* OpenDialog1 = nullptr;
    TSaveDialog* SaveDialog1 = nullptr;
    TFontDialog* FontDialog1 = nullptr;
    TPrintDialog* PrintDialog1 = nullptr;
    int Selections = 0;
    void OpenDialog1SelectionChange(TObject*) { ++Selections; }

    static const TFormTable* Table()
    {
        static const TFormTable table = {
            {GANTREL_FIELD(TDialogsForm, OpenDialog1), GANTREL_FIELD(TDialogsForm, SaveDialog1),
             GANTREL_FIELD(TDialogsForm, FontDialog1), GANTREL_FIELD(TDialogsForm, PrintDialog1)},
            {GANTREL_HANDLER(TDialogsForm, OpenDialog1SelectionChange)},
        };
        return &table;
    }
};

TEST(ServicesForms, DialogsAreReadFromFormResources)
{
    const char* text = R"(object DialogsForm: TDialogsForm
  object OpenDialog1: TOpenDialog
    DefaultExt = 'map'
    FileName = 'base.map'
    Filter = 'Maps|*.map|All|*.*'
    FilterIndex = 2
    InitialDir = 'C:\maps'
    Options = [ofHideReadOnly, ofFileMustExist, ofEnableSizing]
    Title = 'Open a map'
    OnSelectionChange = OpenDialog1SelectionChange
  end
  object SaveDialog1: TSaveDialog
    Options = [ofOverwritePrompt]
    Template = 'TESTTEMPLATE'
  end
  object FontDialog1: TFontDialog
    Font.Name = 'Tahoma'
    Font.Size = 10
    Font.Style = [fsItalic]
    Options = [fdEffects, fdTrueTypeOnly]
    MinFontSize = 6
    MaxFontSize = 24
  end
  object PrintDialog1: TPrintDialog
    Copies = 2
    FromPage = 1
    ToPage = 3
    MinPage = 1
    MaxPage = 9
    Options = [poPageNums, poSelection]
    PrintRange = prPageNums
  end
end
)";
    TDialogsForm* form = new TDialogsForm(nullptr);
    ReadFormText(form, text, TDialogsForm::Table());
    TOpenDialog* open = form->OpenDialog1;
    ASSERT_NE(nullptr, open);
    EXPECT_EQ("map", open->DefaultExt());
    EXPECT_EQ("base.map", open->FileName());
    EXPECT_EQ("Maps|*.map|All|*.*", open->Filter());
    EXPECT_EQ(2, open->FilterIndex());
    EXPECT_EQ("C:\\maps", open->InitialDir());
    EXPECT_EQ((1u << ofHideReadOnly) | (1u << ofFileMustExist) | (1u << ofEnableSizing), open->Options());
    EXPECT_EQ("Open a map", open->Title());
    open->OnSelectionChange(open);
    EXPECT_EQ(1, form->Selections);
    ASSERT_NE(nullptr, form->SaveDialog1);
    EXPECT_EQ(1u << ofOverwritePrompt, form->SaveDialog1->Options());
    EXPECT_EQ("TESTTEMPLATE", form->SaveDialog1->Template());
    TFontDialog* font = form->FontDialog1;
    ASSERT_NE(nullptr, font);
    EXPECT_EQ("Tahoma", font->Font()->Name());
    EXPECT_EQ(10, font->Font()->Size());
    EXPECT_EQ(1u << fsItalic, font->Font()->Style());
    EXPECT_EQ((1u << fdEffects) | (1u << fdTrueTypeOnly), font->Options());
    EXPECT_EQ(6, font->MinFontSize);
    EXPECT_EQ(24, font->MaxFontSize);
    TPrintDialog* print = form->PrintDialog1;
    ASSERT_NE(nullptr, print);
    EXPECT_EQ(2, print->Copies);
    EXPECT_EQ(1, print->FromPage);
    EXPECT_EQ(3, print->ToPage);
    EXPECT_EQ(1, print->MinPage);
    EXPECT_EQ(9, print->MaxPage);
    EXPECT_EQ((1u << poPageNums) | (1u << poSelection), print->Options);
    EXPECT_EQ(prPageNums, print->PrintRange);
    form->Free();
}

// --- Clipboard -----------------------------------------------------------------------

TEST(ServicesClipboard, TextGoesThereAndComesBack)
{
    Clipboard()->SetAsText("1500\t1600\r\n1700");
    EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ("1500\t1600\r\n1700", Clipboard()->AsText());
    Clipboard()->Clear();
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ("", Clipboard()->AsText());
    EXPECT_FALSE(Clipboard()->IsOpen());
}

TBitmap* MakeTestBitmap()
{
    TBitmap* bitmap = new TBitmap;
    bitmap->SetSize(5, 3);
    bitmap->Canvas()->Brush()->SetColor(clBlue);
    RECT all = {0, 0, 5, 3};
    bitmap->Canvas()->FillRect(all);
    bitmap->Canvas()->SetPixel(0, 0, clRed);
    bitmap->Canvas()->SetPixel(4, 2, clLime);
    bitmap->Canvas()->SetPixel(2, 1, clYellow);
    return bitmap;
}

void ExpectTestPixels(TBitmap* bitmap)
{
    ASSERT_EQ(5, bitmap->Width());
    ASSERT_EQ(3, bitmap->Height());
    EXPECT_EQ(COLORREF(clRed), bitmap->Canvas()->Pixel(0, 0));
    EXPECT_EQ(COLORREF(clLime), bitmap->Canvas()->Pixel(4, 2));
    EXPECT_EQ(COLORREF(clYellow), bitmap->Canvas()->Pixel(2, 1));
    EXPECT_EQ(COLORREF(clBlue), bitmap->Canvas()->Pixel(4, 0));
    EXPECT_EQ(COLORREF(clBlue), bitmap->Canvas()->Pixel(0, 2));
}

TEST(ServicesClipboard, ABitmapGoesThereAndComesBackPixelForPixel)
{
    TBitmap* bitmap = MakeTestBitmap();
    Clipboard()->Assign(bitmap);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_DIB));
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
    TBitmap* back = new TBitmap;
    Clipboard()->GetBitmap(back);
    ExpectTestPixels(back);
    // The other way round: the bitmap takes the clipboard's picture.
    TBitmap* assigned = new TBitmap;
    assigned->Assign(Clipboard());
    ExpectTestPixels(assigned);
    TPicture picture;
    picture.Assign(Clipboard());
    ASSERT_NE(nullptr, dynamic_cast<TBitmap*>(picture.Graphic()));
    ExpectTestPixels(picture.Bitmap());
    delete bitmap;
    delete back;
    delete assigned;
}

TEST(ServicesClipboard, SeveralFormatsGoTogetherBetweenOpenAndClose)
{
    TBitmap* bitmap = MakeTestBitmap();
    Clipboard()->Open();
    Clipboard()->SetAsText("map");
    Clipboard()->Assign(bitmap);
    EXPECT_TRUE(Clipboard()->IsOpen());
    Clipboard()->Close();
    EXPECT_FALSE(Clipboard()->IsOpen());
    EXPECT_EQ("map", Clipboard()->AsText());
    EXPECT_TRUE(Clipboard()->HasFormat(CF_DIB));
    // Without Open, each call replaces what was there.
    Clipboard()->SetAsText("only text");
    EXPECT_FALSE(Clipboard()->HasFormat(CF_DIB));
    delete bitmap;
}

TEST(ServicesClipboard, NoPictureAndWrongSourcesAreErrors)
{
    Clipboard()->SetAsText("no picture");
    TBitmap bitmap;
    EXPECT_THROW(Clipboard()->GetBitmap(&bitmap), EClipboardError);
    EXPECT_THROW(Clipboard()->Assign(&bitmap), EClipboardError);  // empty
    TFont font;
    EXPECT_THROW(Clipboard()->Assign(&font), EConvertError);
    EXPECT_FALSE(Clipboard()->IsOpen());
    EXPECT_EQ("no picture", Clipboard()->AsText());
}

// --- Printer ---------------------------------------------------------------------------

TEST(ServicesPrinter, PrintersAreListedWithNames)
{
    TStrings* printers = Printer()->Printers();
    ASSERT_NE(nullptr, printers);
    for (int i = 0; i < printers->Count(); ++i) EXPECT_FALSE(printers->Get(i).empty());
    int count = printers->Count();
    Printer()->Refresh();
    EXPECT_EQ(count, Printer()->Printers()->Count());
    EXPECT_THROW(Printer()->SetPrinterIndex(count), EPrinter);
    EXPECT_THROW(Printer()->SetPrinterIndex(-2), EPrinter);
    Printer()->SetPrinterIndex(-1);
    if (count == 0) {
        EXPECT_EQ(-1, Printer()->PrinterIndex());
    }
}

TEST(ServicesPrinter, NothingPrintsWithoutAPrinter)
{
    TPrinter* printer = Printer();
    EXPECT_FALSE(printer->Printing());
    EXPECT_THROW(printer->EndDoc(), EPrinter);
    EXPECT_THROW(printer->NewPage(), EPrinter);
    EXPECT_THROW(printer->Abort(), EPrinter);
    EXPECT_THROW(printer->Canvas()->TextOut(0, 0, "x"), EPrinter);
    // A printer that is not there cannot be opened.
    printer->SelectPrinter("Gantrel no such printer");
    EXPECT_EQ("Gantrel no such printer", printer->PrinterName());
    EXPECT_EQ(-1, printer->PrinterIndex());
    EXPECT_THROW(printer->BeginDoc(), EPrinter);
    EXPECT_THROW(printer->PageWidth(), EPrinter);
    EXPECT_FALSE(printer->Printing());
    printer->SetPrinterIndex(-1);
    if (printer->PrinterName().empty()) {
        EXPECT_THROW(printer->BeginDoc(), EPrinter);
        EXPECT_THROW(printer->PageHeight(), EPrinter);
    }
    EXPECT_FALSE(printer->Printing());
}

TEST(ServicesPrinter, SettingsAreKeptAndChecked)
{
    TPrinter printer;
    EXPECT_EQ(poPortrait, printer.Orientation());
    printer.SetOrientation(poLandscape);
    EXPECT_EQ(poLandscape, printer.Orientation());
    printer.SetCopies(3);
    EXPECT_EQ(3, printer.Copies());
    EXPECT_THROW(printer.SetCopies(0), EPrinter);
    EXPECT_EQ(3, printer.Copies());
    // Settings chosen in the print dialog come with the printer.
    DEVMODEA dm = {};
    dm.dmSize = sizeof dm;
    dm.dmFields = DM_ORIENTATION | DM_COPIES;
    dm.dmOrientation = DMORIENT_PORTRAIT;
    dm.dmCopies = 2;
    printer.SelectPrinter("Some printer", &dm);
    EXPECT_EQ(poPortrait, printer.Orientation());
    EXPECT_EQ(2, printer.Copies());
    ASSERT_NE(nullptr, printer.DevMode());
    EXPECT_EQ(2, printer.DevMode()->dmCopies);
    printer.SelectPrinter("");
    EXPECT_EQ(nullptr, printer.DevMode());
}

// --- Printing on the tests' print server ---------------------------------------------
//
// The test scripts run a print server with PDF queues (tools/lib/common.sh)
// and say which in GANTREL_PRINTERS; in the pass without one it is empty.

TEST(ServicesFont, AnotherDevicesResolutionKeepsThePointSize)
{
    TFont font;
    font.SetSize(10);
    const int screen = font.PixelsPerInch(), height = font.Height();
    font.SetPixelsPerInch(300);
    EXPECT_EQ(300, font.PixelsPerInch());
    EXPECT_EQ(MulDiv(height, 300, screen), font.Height());
    EXPECT_EQ(10, font.Size());
    font.SetSize(12);
    EXPECT_EQ(-50, font.Height());  // 12 points of 1/72 inch at 300 pixels per inch
    font.SetPixelsPerInch(0);       // no device: nothing changes
    EXPECT_EQ(300, font.PixelsPerInch());

    // The same pixel height is another size on paper: a copy takes the size.
    TFont onScreen;
    onScreen.SetSize(10);
    TFont onPaper;
    onPaper.SetPixelsPerInch(300);
    onPaper.SetHeight(onScreen.Height());
    onPaper.Assign(&onScreen);
    EXPECT_EQ(10, onPaper.Size());
    EXPECT_EQ(MulDiv(onScreen.Height(), 300, onScreen.PixelsPerInch()), onPaper.Height());
}

TEST(ServicesFont, ItalicUnderlineOrStrikeOutAloneComesBackAsThatStyleAlone)
{
    struct Case {
        TFontStyle Style;
        BYTE LOGFONTA::*Flag;
    };
    for (Case c : {Case{fsItalic, &LOGFONTA::lfItalic}, Case{fsUnderline, &LOGFONTA::lfUnderline},
                   Case{fsStrikeOut, &LOGFONTA::lfStrikeOut}}) {
        LOGFONTA described = {};
        described.lfHeight = -13;
        described.lfWeight = FW_NORMAL;
        described.*c.Flag = 1;
        lstrcpyA(described.lfFaceName, "Tahoma");
        TFont font;
        LogFontToFont(described, &font);
        EXPECT_EQ(1u << c.Style, font.Style()) << c.Style;
        LOGFONTA back;
        FontToLogFont(&font, back);
        EXPECT_EQ(FW_NORMAL, back.lfWeight) << c.Style;
        EXPECT_EQ(1, back.lfItalic + back.lfUnderline + back.lfStrikeOut) << c.Style;
        EXPECT_EQ(1, back.*c.Flag) << c.Style;
    }
}

TEST(ServicesPrinters, TheListIsThePrintServersQueues)
{
    ASSERT_TRUE(PrintServerKnown()) << "run through tools/test.sh or tools/wine-test.sh";
    TPrinter* printer = Printer();
    printer->Refresh();
    std::set<std::string> listed;
    for (int i = 0; i < printer->Printers()->Count(); ++i) listed.insert(printer->Printers()->Get(i));
    std::vector<std::string> expected = TestPrinters();
    EXPECT_EQ(std::set<std::string>(expected.begin(), expected.end()), listed);
    printer->SetPrinterIndex(-1);
    if (expected.empty()) {
        EXPECT_EQ("", printer->PrinterName());
        EXPECT_THROW(printer->BeginDoc(), EPrinter);
    } else {
        // The server's default queue is the system's default printer.
        EXPECT_EQ(expected.front(), printer->PrinterName());
        EXPECT_NE(-1, printer->PrinterIndex());
    }
}

class ServicesPrinting : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(TestPrinters().empty()) << "no print server: run through tools/test.sh or tools/wine-test.sh";
        Printer()->Refresh();
    }
    void TearDown() override
    {
        if (Printer()->Printing()) Printer()->Abort();
        Printer()->SelectPrinter("");
        Printer()->Title.clear();
    }
    bool Printed(const std::set<std::string>& before, TPrintedPdf& pdf)
    {
        std::string error;
        bool ok = WaitForPrintedJob(before, pdf, error, 60000, [] { Application->ProcessMessages(); });
        EXPECT_TRUE(ok) << error;
        return ok;
    }
};

TEST_F(ServicesPrinting, PagesTextAndTitleReachThePaperInPoints)
{
    TPrinter* printer = Printer();
    printer->SelectPrinter("GantrelStrip");
    printer->Title = "Framework page test";
    std::set<std::string> before = PrintedJobs();
    printer->BeginDoc();
    // 300 dots per inch; the page is 595 x 420 points, 1/72 inch each.
    EXPECT_EQ(300, printer->PixelsPerInch());
    EXPECT_EQ(300, printer->Canvas()->Font()->PixelsPerInch());
    EXPECT_EQ(595 * 300 / 72, printer->PageWidth());
    EXPECT_EQ(420 * 300 / 72, printer->PageHeight());
    EXPECT_EQ(1, printer->PageNumber());
    printer->Canvas()->Font()->SetSize(12);
    printer->Canvas()->TextOut(300, 300, "First page text");
    printer->NewPage();
    EXPECT_EQ(2, printer->PageNumber());
    printer->Canvas()->TextOut(600, 900, "Second page");
    printer->EndDoc();
    EXPECT_FALSE(printer->Printing());

    TPrintedPdf pdf;
    ASSERT_TRUE(Printed(before, pdf));
    EXPECT_EQ(2, pdf.Pages);
    EXPECT_EQ(595, int(pdf.PageWidth + 0.5));
    EXPECT_EQ(420, int(pdf.PageHeight + 0.5));
    EXPECT_EQ("Framework page test", pdf.Title);
    ASSERT_TRUE(pdf.Has("First page text", 1));
    EXPECT_TRUE(pdf.Has("Second page", 2));
    EXPECT_FALSE(pdf.Has("Second page", 1));
    const TPdfWord first = pdf.Find("First page text", 1).front();
    // Device pixel 300 is 72 points in; a 12 point font is about 12 points high.
    EXPECT_NEAR(72.0, first.X0, 2.0);
    EXPECT_GT(first.Y1 - first.Y0, 9.0);
    EXPECT_LT(first.Y1 - first.Y0, 18.0);
}

TEST_F(ServicesPrinting, AnAbortedDocumentIsThrownAway)
{
    TPrinter* printer = Printer();
    printer->SelectPrinter("GantrelPDF");
    std::set<std::string> before = PrintedJobs();
    printer->BeginDoc();
    printer->Canvas()->TextOut(200, 200, "Thrown away");
    printer->Abort();
    EXPECT_FALSE(printer->Printing());
    EXPECT_TRUE(printer->Aborted());
    // The next document is the next job: nothing of the first one came.
    printer->BeginDoc();
    EXPECT_FALSE(printer->Aborted());
    printer->Canvas()->TextOut(200, 200, "Kept");
    printer->EndDoc();
    TPrintedPdf pdf;
    ASSERT_TRUE(Printed(before, pdf));
    EXPECT_TRUE(pdf.Has("Kept"));
    EXPECT_FALSE(pdf.Has("Thrown"));
    EXPECT_EQ(before.size() + 1, PrintedJobs().size());
}

TEST_F(ServicesPrinting, TheUserChoosesThePrinterAndTheRangeInTheDialog)
{
    TPrintDialog* dialog = new TPrintDialog(nullptr);
    dialog->Options = (1u << poSelection) | (1u << poWarning);
    std::string choose = "GantrelStrip";
    int range = rad2;  // "Selection"
    bool selectionOffered = false;
    TDialogWatcher watcher([&](HWND window) {
        HWND printers = GetDlgItem(window, cmb4);
        if (!printers) return false;
        SendMessageA(printers, CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(choose.c_str()));
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(cmb4, CBN_SELCHANGE), reinterpret_cast<LPARAM>(printers));
        selectionOffered = IsWindowEnabled(GetDlgItem(window, rad2)) != FALSE;
        SendMessageA(GetDlgItem(window, range), BM_CLICK, 0, 0);
        Press(window, IDOK);
        return true;
    });
    EXPECT_TRUE(dialog->Execute());
    EXPECT_TRUE(selectionOffered);
    EXPECT_EQ(prSelection, dialog->PrintRange);
    EXPECT_EQ("GantrelStrip", Printer()->PrinterName());
    EXPECT_EQ(420 * 300 / 72, Printer()->PageHeight());

    // The dialog starts at the printer chosen last; the user goes back.
    choose = "GantrelPDF";
    range = rad1;  // "All"
    dialog->Options = 1u << poWarning;
    EXPECT_TRUE(dialog->Execute());
    EXPECT_FALSE(selectionOffered);
    EXPECT_EQ(prAllPages, dialog->PrintRange);
    EXPECT_EQ("GantrelPDF", Printer()->PrinterName());
    EXPECT_EQ(842 * 300 / 72, Printer()->PageHeight());
    EXPECT_FALSE(watcher.TimedOut);
    dialog->Free();
}

// --- Version resources -------------------------------------------------------------------

TEST(ServicesVersion, TheExecutablesVersionTextsAreRead)
{
    std::string exe = Application->ExeName();
    EXPECT_EQ("1.2.3.4", FileVersionString(exe));
    EXPECT_EQ("1.2.3.4", FileVersionString(exe, "FileVersion"));
    EXPECT_EQ("Framework tests", FileVersionString(exe, "ProductName"));
    EXPECT_EQ("", FileVersionString(exe, "LegalCopyright"));
    EXPECT_EQ("", FileVersionString(exe + ".missing"));
}

}  // namespace
