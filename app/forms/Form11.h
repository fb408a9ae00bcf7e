// TForm11, the dialog that sends one map record to the handheld running
// "Lindrow": the title and the notes can still be changed, Send looks for
// the handheld on COM1..COM4, sends the record, reads it back and compares.
// The main window fills the record's tables, hardware id and table count
// before it shows the dialog.
#pragma once

#include "Edit.h"
#include "Form.h"
#include "HandheldPort.h"
#include "Label.h"
#include "LeafForms.h"
#include "SkinSeam.h"
#include "Timer.h"

#include <cstdint>
#include <string>

class TForm11 : public TForm {
    GANTREL_CLASS(TForm11)

    static constexpr int RecordLength = 1890;
    static constexpr int TitleOffset = 0;
    static constexpr int TitleLength = 32;  // 31 characters and a zero
    static constexpr int NotesOffset = 32;
    static constexpr int NotesLength = 128;  // 127 characters and a zero
    static constexpr int HardwareIdOffset = 160;
    static constexpr int TableCountOffset = 161;
    static constexpr int TablesOffset = 162;  // six tables of 288 bytes
    static constexpr int EchoReads = 20;

    explicit TForm11(TComponent* owner);

    TLabel* Label1 = nullptr;  // the status
    TLabel* Label2 = nullptr;  // "Title:"
    TLabel* Label3 = nullptr;  // "Notes:"
    TLabel* Label4 = nullptr;  // " Hardware ID: "
    TEdit* Edit1 = nullptr;    // the title
    TMemo* Memo1 = nullptr;    // the notes
    TEdit* Edit2 = nullptr;    // the hardware id, read-only
    TEpButton* EpButton2 = nullptr;  // Send
    TEpButton* EpButton1 = nullptr;  // Close
    TEpCheckBox* CheckBox1 = nullptr;
    TTimer* Timer1 = nullptr;  // clears the status 3 s after it was set
    TTimer* Timer2 = nullptr;  // sends 250 ms after the dialog shows
    TEpForm* EpForm1 = nullptr;  // the skinned frame

    void Button1Click(TObject* sender);
    void Timer1Timer(TObject* sender);
    void FormShow(TObject* sender);
    void CheckBox1Click(TObject* sender);
    void ShowStatus(const std::string& text);
    // Removes every carriage return from the zero-terminated text in place.
    static void StripCarriageReturns(char* text);
    static bool SameBytes(const uint8_t* a, const uint8_t* b, int count);

    // The record as it goes out. Its table slots keep what the last map
    // put there until another map fills them.
    uint8_t MapRecord[RecordLength] = {};
    THandheldPort Port;

    static const TFormTable* Table();

private:
    int LanguageBase() const;
    std::string Text(int id) const;
    // The record read back: the same 1890 bytes, or why not.
    bool SendRecord();
};

extern TForm11* Form11;
