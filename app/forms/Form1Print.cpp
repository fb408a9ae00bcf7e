// Printing the loaded map: a header with the file's name, date, type and
// notes, then every table of the file set as a ruled grid, two tables side
// by side, as many rows of tables per page as fit, and the page number at
// the bottom of each page. All measures are the printer's device units.
#include "Form1.h"

#include "Printers.h"

#include <winspool.h>

#include <algorithm>

namespace {

// Far above any size that fits a page: the search for the printer font
// ends here even on a device whose fonts stop growing.
constexpr int MaxPrinterFontSize = 1000;

// A line of the printer's font with a fifth of its height as spacing.
int LineHeight(TCanvas* canvas)
{
    const int h = canvas->TextHeight("I");
    return h + h / 5 + 1;
}

}  // namespace

bool TForm1::PrinterAvailable()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const bool nt = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
#pragma GCC diagnostic pop
    DWORD needed = 0, returned = 0;
    if (nt)
        EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed, &returned);
    else
        EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 5, nullptr, 0, &needed, &returned);
    return needed != 0;
}

int TForm1::FitPrinterFont(TPrinter* printer, int tablesPerRow)
{
    TCanvas* canvas = printer->Canvas();
    const int columns = StringGrid1->ColCount(), rows = StringGrid1->RowCount();
    int fitted = 0;
    if (tablesPerRow > 0 && columns > 0 && rows > 0) {
        const int widthBudget = printer->PageWidth() / tablesPerRow / columns;
        const int heightBudget = printer->PageHeight() / rows;
        for (int size = 1; size <= MaxPrinterFontSize; ++size) {
            canvas->Font()->SetSize(size);
            if (canvas->TextWidth("888888") > widthBudget || canvas->TextHeight("8") > heightBudget) break;
            fitted = size;
        }
    }
    // Nothing fits: the smallest font still prints something readable.
    canvas->Font()->SetSize(std::max(fitted, 1));
    return fitted;
}

int TForm1::PrintHeader(TPrinter* printer, bool withNotes)
{
    TCanvas* canvas = printer->Canvas();
    const int lh = LineHeight(canvas);
    const int pageWidth = printer->PageWidth();
    const int left = pageWidth / 16, top = pageWidth / 16, right = pageWidth * 15 / 16;
    canvas->TextOut(left, top, StatusBar1->Panels()->Items(1)->Text());

    int lines = 0;
    const TTableKind* first = Config.FileSet.Count > 0 ? Config.FileSet[0].Kind : nullptr;
    const std::string notes = first ? first->Notes : std::string();
    if (withNotes && !notes.empty()) {
        canvas->TextOut(left, top + lh, Text(TextId::PrintNotes));
        const int x = left + canvas->TextWidth("     ");
        // Line n of the note stands at top + (n + 2) lines; eleven lines at most.
        int n = 0;
        std::string line;
        auto printLine = [&] {
            if (line.empty()) return;
            canvas->TextOut(x, top + (n + 2) * lh, line);
            lines = n + 1;
            line.clear();
        };
        for (size_t i = 0; i < notes.size(); ++i) {
            const char ch = notes[i];
            if (ch != '\r' && ch != '\n') {
                line += ch;
                continue;
            }
            printLine();
            if (ch == '\r' && i + 1 < notes.size() && notes[i + 1] == '\n') ++i;
            if (++n > 10) break;
        }
        printLine();
    }

    const std::string date = Text(TextId::PrintFileDate) + " " + FileDate;
    canvas->TextOut(right - canvas->TextWidth(date), top, date);
    // The model code the file holds: its model number + 1000 names another
    // kind of map for the codes from 2100 on.
    const std::string type = Text(TextId::PrintFileType) + " " + std::to_string(KeptHeader.ModelCode & 0xFFFFF);
    canvas->TextOut(right - canvas->TextWidth(type), top + lh, type);
    return top + (lines + 2) * lh;
}

int TForm1::PrintPageNumber(TPrinter* printer, int page)
{
    TCanvas* canvas = printer->Canvas();
    const int pageWidth = printer->PageWidth(), pageHeight = printer->PageHeight();
    const int margin = pageWidth / 16;
    const int h = canvas->TextHeight("I");
    const int band = h + h / 5 + 2;
    const int bandTop = pageHeight - margin - band;
    const std::string number = std::to_string(page);
    const int left = margin, right = pageWidth * 15 / 16;
    canvas->TextOut(left + (right - left - canvas->TextWidth(number)) / 2,
                    bandTop + (band - canvas->TextHeight(number)) / 2, number);
    return pageHeight - bandTop;
}

void TForm1::PrintTable(TPrinter* printer, int index, const RECT& rect)
{
    TCanvas* canvas = printer->Canvas();
    TTableKind* kind = Config.FileSet[index].Kind;
    const int lh = LineHeight(canvas), cw = 6 * canvas->TextWidth("8");
    const int columns = StringGrid1->ColCount(), rows = StringGrid1->RowCount();
    const int x0 = (rect.left + rect.right) / 2 - columns * cw / 2;
    const int y0 = (rect.top + rect.bottom) / 2 - (rows * lh + 2 * lh) / 2;

    canvas->Brush()->SetColor(clWhite);
    const std::string title = kind->Text(Language.GetBase(), 6);
    canvas->TextOut(x0 + (columns * cw - canvas->TextWidth(title)) / 2, y0 + (2 * lh - canvas->TextHeight(title)) / 2,
                    title);

    const TMapLayout& layout = TTableKind::Layout;
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            RECT cell;
            cell.left = x0 + c * cw;
            cell.top = y0 + 2 * lh + r * lh;
            cell.right = cell.left + cw - 1;
            cell.bottom = cell.top + lh - 1;
            canvas->MoveTo(cell.left, cell.top);
            canvas->LineTo(cell.right, cell.top);
            canvas->LineTo(cell.right, cell.bottom);
            canvas->LineTo(cell.left, cell.bottom);
            canvas->LineTo(cell.left, cell.top);
            std::string text;
            if (c == 0 || r == 0) {
                canvas->Brush()->SetColor(TColor(0xC0C0C0));
                RECT inside = {cell.left + 1, cell.top + 1, cell.right, cell.bottom};
                canvas->FillRect(inside);
                text = StringGrid1->Cells(c, r);
            } else {
                canvas->Brush()->SetColor(clWhite);
                // The grid and the map have the same shape once a map is loaded.
                if (r <= layout.Rows && c <= layout.Columns &&
                    kind->Cells.size() >= size_t(layout.Rows) * size_t(layout.Columns))
                    text = std::to_string(kind->Cell(r - 1, c - 1));
            }
            canvas->TextOut(cell.left + (cw - canvas->TextWidth(text)) / 2,
                            cell.top + (lh - canvas->TextHeight(text)) / 2, text);
        }
    }
    canvas->Brush()->SetColor(clWhite);
}

void TForm1::Print1Click(TObject*)
{
    if (!PrintDialog) return;
    if (!FileLoaded || Config.FileSet.Count <= 0) {
        ShowStatus(Text(TextId::LoadFileFirst));
        return;
    }
    Print1->SetEnabled(false);
    const bool several = Config.FileSet.Count > 1;
    PrintDialog->Options = several ? (1u << poSelection) | (1u << poWarning) : 1u << poWarning;
    if (!several) PrintDialog->PrintRange = prAllPages;
    // Leaving the grid commits what it shows into its table; the notes
    // window keeps Button4 disabled, so the grid is stored directly too.
    if (Button4->CanFocus()) Button4->SetFocus();
    StringGrid1Exit(this);

    TPrinter* printer = Printer();
    try {
        if (PrintDialog->Execute()) {
            printer->Title = StatusBar1->Panels()->Items(1)->Text();
            printer->BeginDoc();
            TCanvas* canvas = printer->Canvas();
            if (Language.GetBase() == TLanguage::Japanese) canvas->Font()->Assign(UiFont);
            FitPrinterFont(printer, 2);
            const int lh = LineHeight(canvas);
            const int pageWidth = printer->PageWidth(), pageHeight = printer->PageHeight();
            const int rows = StringGrid1->RowCount();
            const int blockHeight = rows * lh + 2 * lh;

            if (PrintDialog->PrintRange == prSelection) {
                const int top = PrintHeader(printer, true);
                const int footer = PrintPageNumber(printer, 1);
                RECT area = {0, 0, pageWidth - 20, pageHeight};
                // On a low page the table centred on it would run over the
                // header: it goes between the header and the page number, or
                // right below the header when it is taller than that.
                if (pageHeight / 2 - blockHeight / 2 < top)
                    area = {0, top, pageWidth - 20, std::max(pageHeight - footer, top + blockHeight)};
                PrintTable(printer, CurrentTable, area);
            } else {
                const int count = Config.FileSet.Count;
                const int width = pageWidth - 20;
                int page = 1;
                int c = (pageHeight - 20 - 18 * lh) / blockHeight;
                int top = 0, areaHeight = 0, row = 0;
                for (int s = 0; s < count;) {
                    // The first page always starts with the header, whatever the first estimate said.
                    if (s == 0 || (c > 0 && s % (2 * c) == 0)) {
                        if (s == 0) {
                            top = PrintHeader(printer, true);
                        } else {
                            printer->NewPage();
                            ++page;
                            top = PrintHeader(printer, false);
                        }
                        const int footer = PrintPageNumber(printer, page);
                        areaHeight = pageHeight - top - footer;
                        row = 0;
                        c = areaHeight / blockHeight;
                    }
                    // Not even one row of tables fits below the header: the
                    // page keeps its header and the document ends.
                    if (c <= 0) break;
                    const int n = std::min(2, count - s);
                    for (int f = 0; f < n; ++f) {
                        RECT rect;
                        rect.left = f * (width / n);
                        rect.right = (f + 1) * (width / n);
                        rect.top = areaHeight / c * row + top;
                        rect.bottom = areaHeight / c * (row + 1) + top;
                        PrintTable(printer, s + f, rect);
                    }
                    s += n;
                    ++row;
                }
            }
            printer->EndDoc();
        }
    } catch (...) {
        // Nothing half-printed stays in the queue, and the command stays usable.
        if (printer->Printing()) printer->Abort();
        Print1->SetEnabled(true);
        throw;
    }
    Print1->SetEnabled(true);
}
