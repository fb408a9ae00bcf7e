// TResizerPanel: a panel that keeps everything inside it in proportion to
// its own size. When its form has been read it takes a snapshot of the
// geometry, font size and grid metrics of every control it holds, at any
// depth; on every size change it sets each of them to the snapshot value
// times the width ratio, the height ratio or the smaller of the two. Sizes
// never drift: nothing is computed from an earlier scaled value.
#pragma once

#include "Panel.h"

#include <vector>

using TManualResizeEvent = TEvent<void(float heightMult, float widthMult)>;
using TCanChildResizeEvent = TEvent<void(TObject* sender, bool& move, bool& resize)>;

// The snapshot of one control.
struct TControlData {
    double Top = 0, Left = 0, Height = 0, Width = 0;
    double FontSize = 0;
    int ColCount = 0, RowCount = 0;
    std::vector<double> ColWidths, RowHeights;
    double DefaultColWidth = 0, DefaultRowHeight = 0, GridLineWidth = 0;
    // Child controls of a windowed control, or a status bar's panels (Width only).
    std::vector<TControlData> Children;
};

class TResizerPanel : public TPanel {
    GANTREL_CLASS(TResizerPanel)

    explicit TResizerPanel(TComponent* owner);
    ~TResizerPanel() override;

    bool Active = false;  // on once the snapshot is taken
    TManualResizeEvent OnManualResize;
    TCanChildResizeEvent OnCanChildResize;

    void Loaded() override;
    void Initialize();
    // Takes the snapshot again for a control the program resized itself
    // (the panel itself: everything).
    void RefreshSizes(TControl* control);
    void ClearAll();

    int DesignWidth() const { return FDesignWidth; }
    int DesignHeight() const { return FDesignHeight; }
    const std::vector<TControlData>& ControlData() const { return FControlData; }

    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

private:
    std::vector<TControlData> FControlData;
    bool FHasSnapshot = false;
    int FDesignWidth = 0, FDesignHeight = 0;
    int FNewWidth = 0, FNewHeight = 0;

    void LoadChildren(TWinControl* parent, std::vector<TControlData>& data);
    void LoadChild(TControl* control, TControlData& record);
    void WMSize(TMessage& message);
    void AdjustChildren(TWinControl* parent, std::vector<TControlData>& data);
    bool RefreshComponent(TWinControl* parent, std::vector<TControlData>& data, TControl* control);
    void UpdateChildren(TWinControl* parent, std::vector<TControlData>& data);
    void UpdateChild(TControl* control, TControlData& record);
    void CheckWidth(double& stored, int actual);
    void CheckHeight(double& stored, int actual);
    void CheckBoth(double& stored, int actual);
};

void RegisterResizerClasses();
