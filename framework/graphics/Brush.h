// TBrush and TPen: how shapes are filled and outlined.
#pragma once

#include "GraphicsObject.h"

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TGraphicsObject {
    GANTREL_CLASS(TBrush)

    ~TBrush() override { ReleaseHandle(); }

    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle style);
    HBRUSH Handle();

    void Assign(TPersistent* source) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void ReleaseHandle() override;

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    HBRUSH FHandle = nullptr;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

class TPen : public TGraphicsObject {
    GANTREL_CLASS(TPen)

    ~TPen() override { ReleaseHandle(); }

    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    int Width() const { return FWidth; }
    void SetWidth(int width);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle style);
    HPEN Handle();

    void Assign(TPersistent* source) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void ReleaseHandle() override;

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    HPEN FHandle = nullptr;
};
