// TStatusBar: the platform's status bar, with its panels as a collection
// that form resources write as "Panels = < item Width = 50 end ... >".
#pragma once

#include "Collection.h"
#include "Panel.h"  // TAlignment
#include "WinControl.h"

#include <commctrl.h>

#include <string>

class TStatusBar;

enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
enum TStatusPanelStyle { psText, psOwnerDraw };

class TStatusPanel : public TCollectionItem {
    GANTREL_CLASS(TStatusPanel)

    explicit TStatusPanel(TCollection* collection);

    // Pixels; the last panel runs to the right edge whatever its width.
    int Width() const { return FWidth; }
    void SetWidth(int width);
    const std::string& Text() const { return FText; }
    void SetText(const std::string& text);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    TStatusPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TStatusPanelBevel bevel);
    // psOwnerDraw: the status bar's OnDrawPanel paints the panel.
    TStatusPanelStyle Style() const { return FStyle; }
    void SetStyle(TStatusPanelStyle style);

    void Assign(TPersistent* source) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

private:
    int FWidth = 50;
    std::string FText;
    TAlignment FAlignment = taLeftJustify;
    TStatusPanelBevel FBevel = pbLowered;
    TStatusPanelStyle FStyle = psText;
};

class TStatusPanels : public TCollection {
    GANTREL_CLASS(TStatusPanels)

    explicit TStatusPanels(TStatusBar* statusBar);

    TStatusPanel* Items(int index) const { return static_cast<TStatusPanel*>(TCollection::Items(index)); }
    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
    TStatusBar* StatusBar() const { return FStatusBar; }

protected:
    void Update(TCollectionItem* item) override;

private:
    TStatusBar* FStatusBar;
};

using TDrawPanelEvent = TEvent<void(TStatusBar*, TStatusPanel*, const RECT&)>;

class TStatusBar : public TWinControl {
    GANTREL_CLASS(TStatusBar)

    explicit TStatusBar(TComponent* owner);
    ~TStatusBar() override;

    TStatusPanels* Panels() const { return FPanels; }
    TStatusPanel* Panels(int index) const { return FPanels->Items(index); }
    void SetPanels(TStatusPanels* panels) { FPanels->Assign(panels); }
    // One text across the whole bar instead of the panels.
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool simple);
    const std::string& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& text);
    // The grip at the right end that sizes the window.
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool grip);
    // Kept for the form resources; the bar shows in its Font.
    bool UseSystemFont = false;

    // Paints owner-drawn panels on Canvas (valid only while it runs).
    TDrawPanelEvent OnDrawPanel;
    TCanvas* Canvas() const { return FCanvas; }

    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    virtual void DrawPanel(TStatusPanel* panel, const RECT& rect);

private:
    friend class TStatusPanels;
    TStatusPanels* FPanels;
    bool FSimplePanel = false;
    std::string FSimpleText;
    bool FSizeGrip = true;
    TCanvas* FCanvas;
    // Parts and texts to the window: all of them, or one panel's text.
    void UpdatePanels();
    void UpdatePanel(int index);
};
