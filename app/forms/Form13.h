// TForm13, the cylinder trims: one panel per cylinder (at most four), each
// with a track bar from -5 to 5 and the trim it stands for; OK and Cancel.
#pragma once

#include "Edit.h"
#include "Form.h"
#include "Label.h"
#include "Panel.h"
#include "SkinSeam.h"

class TForm13 : public TForm {
    GANTREL_CLASS(TForm13)

    explicit TForm13(TComponent* owner);

    TPanel *Panel1 = nullptr, *Panel2 = nullptr, *Panel3 = nullptr, *Panel4 = nullptr;
    TLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr;  // "#1".."#4"
    TEpTrackBar *EpTrackBar1 = nullptr, *EpTrackBar2 = nullptr, *EpTrackBar3 = nullptr, *EpTrackBar4 = nullptr;
    TEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr, *Edit4 = nullptr;
    TEpButton* EpButton2 = nullptr;  // OK
    TEpButton* EpButton1 = nullptr;  // Cancel

    // Cylinders the unit has, 1..4; the panels of the others are hidden.
    int CylinderCount = 4;

    void FormShow(TObject* sender);
    void EpTrackBar1Change(TObject* sender);
    void EpTrackBar2Change(TObject* sender);
    void EpTrackBar3Change(TObject* sender);
    void EpTrackBar4Change(TObject* sender);

    static const TFormTable* Table();
};

extern TForm13* Form13;
