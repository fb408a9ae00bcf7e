// The program's entry: settings, the application object, the permanent
// windows, the splash, and the message loop.
#include "Application.h"
#include "Framework.h"
#include "EmiStringGrid.h"
#include "Form1.h"
#include "Form9.h"
#include "Form10.h"
#include "Form11.h"
#include "Form12.h"
#include "Form13.h"
#include "Form14.h"
#include "Form6.h"
#include "Form8.h"
#include "GantOpenDialog.h"
#include "IniFiles.h"
#include "EffectClasses.h"
#include "ResizerPanel.h"
#include "SkinClasses.h"
#include "SettingsFile.h"

#include <memory>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    InitFramework();
    RegisterGridControlClasses();
    RegisterResizerClasses();
    RegisterEffectClasses();
    RegisterSkinClasses();
    RegisterOpenDialogClasses();
    try {
        auto ini = std::make_unique<TIniFile>(SettingsFileName());
        bool splash = ini->ReadBool("Advanced", "Splash", true);
        Application->Initialize();
        Application->SetTitle("Gantrel Control Center");
        Application->CreateForm(Form1);
        Application->CreateForm(Form8);
        Application->CreateForm(Form9);
        Application->CreateForm(Form10);
        Application->CreateForm(Form11);
        Application->CreateForm(Form12);
        Application->CreateForm(Form13);
        Application->CreateForm(Form14);
        if (splash) {
            TForm6* form = NewForm<TForm6>(Application);
            form->Show();
            form->Update();
            for (int i = 0; i < 15; ++i) {
                Sleep(70);
                Application->ProcessMessages();
            }
            if (form->CkDontSplash->Checked()) ini->WriteBool("Advanced", "Splash", false);
            form->Hide();
            form->Free();
        }
        ini.reset();
        Application->Run();
    } catch (const std::exception& e) {
        Application->ShowException(e);
    }
    DoneFramework();
    return 0;
}
