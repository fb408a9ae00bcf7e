// TLabel: a caption without a window of its own, drawn on its parent; its
// "&" accelerator moves the focus to the control it names. Also the text
// alignment and accelerator helpers the standard controls share.
#pragma once

#include "Control.h"
#include "SysUtils.h"

#include <string>
#include <vector>

enum TTextLayout { tlTop, tlCenter, tlBottom };

// The names form resources give TAlignment values, in value order.
const std::vector<const char*>& AlignmentNames();

class TLabel : public TGraphicControl {
    GANTREL_CLASS(TLabel)

    explicit TLabel(TComponent* owner);
    ~TLabel() override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout layout);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    // Fits the bounds to the caption (the width stays when WordWrap is on).
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    // False: the label fills its bounds with Color before the text.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    // False: "&" is drawn as it is and names no accelerator.
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool value);
    // The control the accelerator focuses.
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* control);

    void Dispatch(TMessage& message) override;
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void Paint() override;
    void AdjustBounds();
    UINT DrawTextFlags() const;

private:
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FAutoSize = true;
    bool FTransparent = false;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
};
