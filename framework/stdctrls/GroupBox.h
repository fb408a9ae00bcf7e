// Group boxes: an etched frame with a caption around other controls. They
// are our own windows (not the platform's BS_GROUPBOX) so that windowless
// children paint and take the mouse like anywhere else. TRadioGroup fills
// itself with one radio button per item.
#pragma once

#include "CheckBox.h"
#include "Strings.h"
#include "WinControl.h"

#include <vector>

class TCustomGroupBox : public TCustomControl {
    GANTREL_CLASS(TCustomGroupBox)

    explicit TCustomGroupBox(TComponent* owner);

    // The band at the top that the caption takes; the frame runs through its middle.
    int CaptionHeight();

    void Dispatch(TMessage& message) override;

protected:
    void Paint() override;
    // Aligned children sit inside the frame, below the caption.
    void AlignControls(RECT& rect) override;
};

class TGroupBox : public TCustomGroupBox {
    GANTREL_CLASS(TGroupBox)
    using TCustomGroupBox::TCustomGroupBox;
};

class TRadioGroup : public TCustomGroupBox {
    GANTREL_CLASS(TRadioGroup)

    explicit TRadioGroup(TComponent* owner);
    ~TRadioGroup() override;

    // One radio button per item; changing the items rebuilds the buttons.
    TStrings* Items() const { return FItems; }
    void SetItems(TStrings* items) { FItems->Assign(items); }
    // The checked item, -1 for none. Setting it checks that button without
    // OnClick; a click on a button sets it and runs OnClick.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int index);
    // The buttons fill the columns from top to bottom, left to right.
    int Columns() const { return FColumns; }
    void SetColumns(int columns);

    int ButtonCount() const { return int(FButtons.size()); }
    TRadioButton* Buttons(int index) const;

    void Dispatch(TMessage& message) override;
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;

protected:
    void Resize() override;

private:
    TStringList* FItems;
    std::vector<TRadioButton*> FButtons;
    int FItemIndex = -1;
    int FColumns = 1;
    bool FUpdating = false;
    void ItemsChanged(TObject* sender);
    void ButtonClick(TObject* sender);
    void UpdateButtons();
    void ArrangeButtons();
    void CheckButtons();
};
