// TForm9, the hardware information: serial and production numbers, the
// production date, version and revisions, the map number, and the release
// and production notes, in three shadowed panels.
#pragma once

#include "Button.h"
#include "EffectPanels.h"
#include "Form.h"
#include "Label.h"
#include "SkinSeam.h"

#include <string>

class TForm9 : public TForm {
    GANTREL_CLASS(TForm9)

    explicit TForm9(TComponent* owner);

    TepShadowPanel* epShadowPanel1 = nullptr;
    TepShadowPanel* epShadowPanel2 = nullptr;
    TepShadowPanel* epShadowPanel3 = nullptr;
    // Captions (odd numbers and 13) and their values (even numbers and 14).
    TLabel *Label1 = nullptr, *Label2 = nullptr;    // serial number
    TLabel *Label13 = nullptr, *Label14 = nullptr;  // production number
    TLabel *Label3 = nullptr, *Label4 = nullptr;    // production date
    TLabel *Label5 = nullptr, *Label6 = nullptr;    // version
    TLabel *Label7 = nullptr, *Label8 = nullptr;    // fuel revision
    TLabel *Label9 = nullptr, *Label10 = nullptr;   // ignition revision
    TLabel *Label11 = nullptr, *Label12 = nullptr;  // map number
    TepTextLabel* epTextLabel1 = nullptr;  // "Release Notes:" and the notes
    TepTextLabel* epTextLabel2 = nullptr;  // "Production Notes:" and the notes
    TButton* Button1 = nullptr;

    void FormCreate(TObject* sender);
    void SetLanguage(int languageBase);
    // The notes below a text label's heading line.
    void SetNotes(TepTextLabel* label, const std::string& notes);

    static const TFormTable* Table();
};

extern TForm9* Form9;
