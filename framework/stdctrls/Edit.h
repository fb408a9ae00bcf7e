// Text entry on the platform's EDIT: TEdit, one line, and TMemo, several
// lines with Lines as a list view of its text. Both report OnChange only
// when the text really changed, whoever changed it.
#pragma once

#include "Form.h"
#include "Label.h"
#include "Strings.h"
#include "WinControl.h"

#include <string>

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TCustomEdit : public TWinControl {
    GANTREL_CLASS(TCustomEdit)

    explicit TCustomEdit(TComponent* owner);

    // Characters the user may enter; 0: no limit.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int length);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);
    // bsSingle (a sunken client edge) or bsNone.
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle style);
    // Shown instead of each character; 0: the text itself.
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char c);
    // Select all the text when the focus arrives from the keyboard.
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool value) { FAutoSelect = value; }
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase charCase);

    // The selection lives in the window; without one it is an empty
    // selection at the end of the text.
    int SelStart();
    void SetSelStart(int start);
    int SelLength();
    void SetSelLength(int length);
    std::string SelText();
    void SetSelText(const std::string& text);
    void SelectAll();

    // Whether the user changed the text since it was last set.
    bool Modified();
    void SetModified(bool value);
    void Clear() { SetText(""); }

    TNotifyEvent OnChange;

    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void SetTextBuf(const std::string& text) override;
    void DoEnter() override;
    virtual void Change();
    // Runs Change when the text differs from the last text seen.
    void CheckTextChanged();

private:
    int FMaxLength = 0;
    bool FReadOnly = false;
    TFormBorderStyle FBorderStyle = bsSingle;
    char FPasswordChar = 0;
    bool FAutoSelect = true;
    TEditCharCase FCharCase = ecNormal;
    bool FModified = false;
    std::string FLastText;
    void Colorize(TMessage& m);
};

class TEdit : public TCustomEdit {
    GANTREL_CLASS(TEdit)

    using TCustomEdit::TCustomEdit;
    bool ReadProperty(const std::string& name, TReader& reader) override;
};

class TMemo : public TCustomEdit {
    GANTREL_CLASS(TMemo)

    explicit TMemo(TComponent* owner);
    ~TMemo() override;

    // The text as lines, ended by CR LF; works with or without the window.
    TStrings* Lines() const { return FLines; }
    void SetLines(TStrings* lines) { FLines->Assign(lines); }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle scrollBars);
    // Long lines wrap at the right edge; false: they scroll sideways.
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    // Enter starts a new line (false: it goes to the form's default button).
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool value);
    // Tab is typed into the text (false: it moves the focus on).
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool value) { FWantTabs = value; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);

    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;

protected:
    void CreateParams(TCreateParams& params) override;

private:
    TStrings* FLines;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
    bool FWantReturns = true;
    bool FWantTabs = false;
    TAlignment FAlignment = taLeftJustify;
};
