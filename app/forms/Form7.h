// TForm7, the throttle position calibration: the raw throttle readings at
// closed and fully open throttle, the points between them computed from the
// two, and the controller's calibration block (block 0) they are written
// into. Created when needed; it frees itself when it closes.
#pragma once

#include "Button.h"
#include "CheckBox.h"
#include "ComPort.h"
#include "Edit.h"
#include "EffectPanels.h"
#include "Form.h"
#include "Label.h"
#include "SkinSeam.h"

#include <cstdint>

class TForm7 : public TForm {
    GANTREL_CLASS(TForm7)

    explicit TForm7(TComponent* owner);

    // Raw throttle at 0, 2, 5, 10, 20, 40, 60, 80 and 100 % (bytes 0..8),
    // the duty divider (byte 21) and the frequency divider (byte 20).
    TEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr, *Edit4 = nullptr, *Edit5 = nullptr,
          *Edit6 = nullptr, *Edit7 = nullptr, *Edit8 = nullptr, *Edit9 = nullptr, *Edit10 = nullptr,
          *Edit11 = nullptr;
    TLabel* Label1 = nullptr;  // "Freq Divider: "
    TLabel* Label2 = nullptr;  // "Duty Divider: "
    TButton* Button1 = nullptr;  // TP Closed
    TButton* Button2 = nullptr;  // TP Open
    TButton* Button3 = nullptr;  // Get TP Table
    TButton* Button4 = nullptr;  // Send TP Table
    TButton* Button5 = nullptr;  // Calculate Table
    TCheckBox* CheckBox1 = nullptr;  // Automatically Calc TP Table
    TBitBtn* BitBtn1 = nullptr;  // OK
    TBitBtn* BitBtn2 = nullptr;  // Cancel
    TBitBtn* BitBtn3 = nullptr;  // the instructions
    TepRunPanel* epRunPanel1 = nullptr;

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);
    void Button1Click(TObject* sender);
    void Button2Click(TObject* sender);
    void Button3Click(TObject* sender);
    void Button4Click(TObject* sender);
    void Button5Click(TObject* sender);
    void BitBtn1Click(TObject* sender);
    void BitBtn3Click(TObject* sender);
    void Edit1Change(TObject* sender);
    void CalculateTable();

    static const TFormTable* Table();

private:
    bool Calculating = false;
    // Block 0 whole, or false.
    bool ReadCalibration(uint8_t (&block)[TComPort::BlockLength]);
    // Reads block 0, puts the fields into it and writes it back; false
    // (with its status text) when nothing was written.
    bool SendCalibration();
    // Both end points hold readings: the points between can be computed.
    bool EndPointsSet();
};

extern TForm7* Form7;
