// Push buttons on the platform's BUTTON. TButton can be the form's default
// (Enter) or cancel (Escape) button and hands its ModalResult to the form;
// TBitBtn adds a glyph beside the caption and the stock kinds (OK, Cancel,
// Yes, No...) that set caption, result and default/cancel role together.
#pragma once

#include "Graphic.h"
#include "Reader.h"
#include "WinControl.h"

class TButton : public TWinControl {
    GANTREL_CLASS(TButton)

    explicit TButton(TComponent* owner);

    // Enter clicks the default button unless another button has the focus.
    bool Default() const { return FDefault; }
    void SetDefault(bool value);
    // Escape clicks the cancel button.
    bool Cancel() const { return FCancel; }
    void SetCancel(bool value);
    // Given to the parent form when the button is clicked (mrNone: nothing).
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int result) { FModalResult = result; }

    void Click() override;
    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void DoEnter() override;
    void DoExit() override;
    // The BS_ type the window should have now.
    virtual DWORD ButtonStyle() const;
    // Whether the button shows itself as the one Enter clicks.
    bool ActiveLook() const { return FActive; }
    void SetActiveLook(bool active);
    void UpdateButtonStyle();

private:
    bool FDefault = false;
    bool FCancel = false;
    bool FActive = false;
    int FModalResult = 0;
};

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// What a stock kind gives a button: its caption, modal result and whether
// it is the default (Enter) or cancel (Escape) button.
struct TBitBtnKindInfo {
    const char* Caption;
    int ModalResult;
    bool Default;
    bool Cancel;
};
const TBitBtnKindInfo& BitBtnKindInfo(TBitBtnKind kind);

// The names form resources give these values.
const TEnumNames& BitBtnKindNames();
const TEnumNames& ButtonLayoutNames();
const TEnumNames& ModalResultNames();

// With a glyph the button draws itself (owner-drawn, in the platform's
// push-button frame); without one it is a plain platform button.
class TBitBtn : public TButton {
    GANTREL_CLASS(TBitBtn)

    explicit TBitBtn(TComponent* owner);
    ~TBitBtn() override;

    TBitBtnKind Kind() const { return FKind; }
    void SetKind(TBitBtnKind kind);
    // The bottom-left pixel's colour is transparent. With NumGlyphs > 1 the
    // bitmap holds side by side: normal, disabled, pushed (and down) images.
    TBitmap* Glyph() const { return FGlyph; }
    void SetGlyph(TBitmap* glyph);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout layout);
    // Pixels from the edge to the glyph; -1 centres glyph and caption together.
    int Margin() const { return FMargin; }
    void SetMargin(int margin);
    // Pixels between glyph and caption.
    int Spacing() const { return FSpacing; }
    void SetSpacing(int spacing);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int count);

    void Click() override;
    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;

protected:
    DWORD ButtonStyle() const override;
    void DrawItem(const DRAWITEMSTRUCT& item);

private:
    TBitBtnKind FKind = bkCustom;
    TBitmap* FGlyph;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    int FNumGlyphs = 1;
    void GlyphChanged(TObject* sender);
};
