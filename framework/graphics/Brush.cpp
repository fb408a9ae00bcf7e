#include "Brush.h"

#include "Reader.h"

void TBrush::SetColor(TColor color)
{
    if (color == FColor && FStyle != bsClear) return;
    FColor = color;
    if (FStyle == bsClear) FStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle style)
{
    if (style == FStyle) return;
    FStyle = style;
    Changed();
}

void TBrush::ReleaseHandle()
{
    if (FHandle) DeleteObject(FHandle);
    FHandle = nullptr;
}

HBRUSH TBrush::Handle()
{
    if (!FHandle) {
        LOGBRUSH lb = {};
        lb.lbColor = ColorToRGB(FColor);
        switch (FStyle) {
        case bsSolid: lb.lbStyle = BS_SOLID; break;
        case bsClear: lb.lbStyle = BS_HOLLOW; break;
        default:
            lb.lbStyle = BS_HATCHED;
            lb.lbHatch = ULONG_PTR(FStyle - bsHorizontal);
            break;
        }
        FHandle = CreateBrushIndirect(&lb);
    }
    return FHandle;
}

void TBrush::Assign(TPersistent* source)
{
    if (auto* brush = dynamic_cast<TBrush*>(source)) {
        FColor = brush->FColor;
        FStyle = brush->FStyle;
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}

bool TBrush::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames styles = {"bsSolid", "bsClear", "bsHorizontal", "bsVertical",
                                      "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"};
    if (name == "Color") SetColor(ReadColor(reader));
    else if (name == "Style") SetStyle(TBrushStyle(reader.ReadEnum(styles)));
    else return TGraphicsObject::ReadProperty(name, reader);
    return true;
}

void TPen::SetColor(TColor color)
{
    if (color == FColor) return;
    FColor = color;
    Changed();
}

void TPen::SetWidth(int width)
{
    if (width == FWidth || width < 0) return;
    FWidth = width;
    Changed();
}

void TPen::SetStyle(TPenStyle style)
{
    if (style == FStyle) return;
    FStyle = style;
    Changed();
}

void TPen::ReleaseHandle()
{
    if (FHandle) DeleteObject(FHandle);
    FHandle = nullptr;
}

HPEN TPen::Handle()
{
    if (!FHandle) {
        static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        FHandle = CreatePen(styles[FStyle], FWidth, ColorToRGB(FColor));
    }
    return FHandle;
}

void TPen::Assign(TPersistent* source)
{
    if (auto* pen = dynamic_cast<TPen*>(source)) {
        FColor = pen->FColor;
        FWidth = pen->FWidth;
        FStyle = pen->FStyle;
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}

bool TPen::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames styles = {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"};
    if (name == "Color") SetColor(ReadColor(reader));
    else if (name == "Width") SetWidth(reader.ReadInteger());
    else if (name == "Style") SetStyle(TPenStyle(reader.ReadEnum(styles)));
    else return TGraphicsObject::ReadProperty(name, reader);
    return true;
}
