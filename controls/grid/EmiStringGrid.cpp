#include "EmiStringGrid.h"

#include "Reader.h"

TEmiStringGrid::TEmiStringGrid(TComponent* owner)
    : TStringGrid(owner), FRowTitles(new TStringList), FColTitles(new TStringList)
{
    SetDefaultCellsAlignment(caTopLeft);
    SetDefaultMultiLineCells(false);
}

TEmiStringGrid::~TEmiStringGrid()
{
    BeginDestroy();
    delete FRowTitles;
    delete FColTitles;
}

void TEmiStringGrid::ApplyRowTitles()
{
    if (ColCount() <= 0) return;
    // Cleared first, so that a shorter list leaves the rest of the column empty.
    Cols(0)->Clear();
    Cols(0)->Assign(FRowTitles);
}

void TEmiStringGrid::ApplyColTitles()
{
    if (RowCount() <= 0) return;
    Rows(0)->Clear();
    Rows(0)->Assign(FColTitles);
}

void TEmiStringGrid::SetRowTitles(TStrings* value)
{
    FRowTitles->Assign(value);
    ApplyRowTitles();
    Invalidate();
}

void TEmiStringGrid::SetColTitles(TStrings* value)
{
    FColTitles->Assign(value);
    ApplyColTitles();
    Invalidate();
}

void TEmiStringGrid::SetDefaultCellsAlignment(TCellAlignment value)
{
    if (value == FDefaultCellsAlignment) return;
    FDefaultCellsAlignment = value;
    SetDefaultMultiLineCells(FDefaultMultiLineCells && value < caMiddleLeft);
    Invalidate();
}

void TEmiStringGrid::SetDefaultMultiLineCells(bool value)
{
    if (value == FDefaultMultiLineCells) return;
    FDefaultMultiLineCells = value;
    if (value && FDefaultCellsAlignment >= caMiddleLeft) {
        // Only a top alignment wraps: keep the horizontal place, go to the top.
        static const TCellAlignment tops[] = {caTopLeft, caTopCenter, caTopRight};
        FDefaultCellsAlignment = tops[FDefaultCellsAlignment % 3];
    }
    Invalidate();
}

void TEmiStringGrid::Loaded()
{
    TStringGrid::Loaded();
    // The lists were read straight into the title objects; now they reach
    // the cells. Row 0 goes last and so owns the corner cell.
    ApplyRowTitles();
    ApplyColTitles();
}

UINT TEmiStringGrid::CellTextFormat(TCellAlignment alignment, bool multiLine)
{
    static const UINT bits[] = {
        DT_LEFT | DT_TOP, DT_CENTER, DT_RIGHT,
        DT_VCENTER, DT_VCENTER | DT_CENTER, DT_VCENTER | DT_RIGHT,
        DT_BOTTOM, DT_BOTTOM | DT_CENTER, DT_BOTTOM | DT_RIGHT,
    };
    multiLine = multiLine && alignment < caMiddleLeft;
    UINT format = DT_NOPREFIX | (multiLine ? DT_WORDBREAK : DT_SINGLELINE);
    if (alignment <= caBottomRight) format |= bits[alignment];
    return format;
}

void TEmiStringGrid::DrawCell(int col, int row, const RECT& rect, TGridDrawState state)
{
    TCellAlignment alignment = FDefaultCellsAlignment;
    bool multiLine = FDefaultMultiLineCells;
    if (OnGetCellColor)
        OnGetCellColor(this, row, col, state, alignment, multiLine, Canvas()->Brush(), Canvas()->Font());
    // A handler that asks for a middle or bottom alignment gets one line.
    multiLine = multiLine && alignment < caMiddleLeft;
    if (!DefaultDrawing()) {
        TStringGrid::DrawCell(col, row, rect, state);
        return;
    }
    UINT format = CellTextFormat(alignment, multiLine);
    Canvas()->FillRect(rect);
    RECT inset = {rect.left + 2, rect.top + 2, rect.right - 2, rect.bottom - 2};
    DrawCellText(Cells(col, row), inset, format);
}

void TEmiStringGrid::DrawCellText(const std::string& text, RECT& rect, UINT format)
{
    PrepareCanvasText();
    DrawTextA(Canvas()->Handle(), text.data(), int(text.size()), &rect, format);
}

TPersistent* TEmiStringGrid::PropertyObject(const std::string& name)
{
    if (name == "RowTitles") return FRowTitles;
    if (name == "ColTitles") return FColTitles;
    return TStringGrid::PropertyObject(name);
}

bool TEmiStringGrid::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames alignments = {"caTopLeft", "caTopCenter", "caTopRight",
                                          "caMiddleLeft", "caCenter", "caMiddleRight",
                                          "caBottomLeft", "caBottomCenter", "caBottomRight"};
    if (name == "OnGetCellColor") OnGetCellColor = reader.ReadEvent<TColorEvent>();
    else if (name == "DefaultCellsAlignment") SetDefaultCellsAlignment(TCellAlignment(reader.ReadEnum(alignments)));
    else if (name == "DefaultMultiLineCells") SetDefaultMultiLineCells(reader.ReadBool());
    else return TStringGrid::ReadProperty(name, reader);
    return true;
}

void RegisterGridControlClasses()
{
    RegisterClasses<TEmiStringGrid>();
}
