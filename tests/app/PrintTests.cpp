// Printing a map for real: the tests' print server (tools/lib/common.sh)
// offers two PDF queues, GantrelPDF (A4) and GantrelStrip (595 x 420
// points, one row of tables per page); the print dialog is answered as a
// user would (printer, range, OK), and the printed PDF is read back.
#include "EditNotes.h"
#include "MainWindowFixture.h"

#include "Clipboard.h"
#include "PrintedPdf.h"
#include "Printers.h"
#include "SysUtils.h"

#include <dlgs.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>

namespace {

// Answers the print dialog the way a user does: picks the printer in its
// list, "All" or "Selection", then OK.
class TPrintDialogAnswer {
public:
    TPrintDialogAnswer(const std::string& printer, bool selection) : FPrinter(printer), FSelection(selection)
    {
        FWindow = AllocateHWnd(MakeEvent<&TPrintDialogAnswer::WndProc>(this));
        SetTimer(FWindow, 1, 50, nullptr);
    }
    ~TPrintDialogAnswer()
    {
        KillTimer(FWindow, 1);
        DeallocateHWnd(FWindow);
    }
    TPrintDialogAnswer(const TPrintDialogAnswer&) = delete;
    TPrintDialogAnswer& operator=(const TPrintDialogAnswer&) = delete;

    bool Answered = false;
    bool SelectionOffered = false;

private:
    std::string FPrinter;
    bool FSelection;
    HWND FWindow;

    static BOOL CALLBACK FindDialog(HWND window, LPARAM data)
    {
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (IsWindowVisible(window) && std::string(name) == "#32770" && GetDlgItem(window, cmb4)) {
            *reinterpret_cast<HWND*>(data) = window;
            return FALSE;
        }
        return TRUE;
    }

    void WndProc(TMessage& m)
    {
        if (m.Msg != WM_TIMER) {
            m.Result = DefWindowProcA(FWindow, m.Msg, m.WParam, m.LParam);
            return;
        }
        if (Answered) return;
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), &FindDialog, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog) return;
        Answered = true;
        HWND printers = GetDlgItem(dialog, cmb4);
        SendMessageA(printers, CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(FPrinter.c_str()));
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb4, CBN_SELCHANGE), reinterpret_cast<LPARAM>(printers));
        SelectionOffered = IsWindowEnabled(GetDlgItem(dialog, rad2)) != FALSE;
        SendMessageA(GetDlgItem(dialog, FSelection ? rad2 : rad1), BM_CLICK, 0, 0);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    }
};

// The date the header shows for a file: month/day/year of its last write, local time.
std::string FileDateText(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    FILETIME local;
    SYSTEMTIME t;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &t))
        return "?";
    return std::to_string(t.wMonth) + "/" + std::to_string(t.wDay) + "/" + std::to_string(t.wYear);
}

// The maps of these tests: 13 engine-speed rows (500 .. 6500), 9 throttle
// columns (0, 12, 25, ... 100) and, in table t, row r, column c the value
// (t + r + c) % 5 - 2 (MakeMapBytes).
constexpr int Rows = 13, Columns = 9;
std::string Value(int table, int r, int c) { return std::to_string((table + r + c) % 5 - 2); }

std::string NoteLines(int count)
{
    std::string notes;
    for (int i = 1; i <= count; ++i) notes += (i > 1 ? "\r\n" : "") + std::string("Line ") + std::to_string(i);
    return notes;
}

class PrintTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(TestPrinters().empty()) << "no print server: run through tools/test.sh or tools/wine-test.sh";
        MainWindowTest::SetUp();
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        Printer()->SelectPrinter("");
    }

    std::string LoadMap(const std::string& name, int code, int tables, const std::string& notes)
    {
        std::string path = TempFile(name);
        WriteFileBytes(path, MakeMapBytes(201, code, tables, Rows, Columns, notes, -2));
        EXPECT_TRUE(Load(path));
        return path;
    }

    // File > Print, the dialog answered; the PDF the print server made.
    TPrintedPdf Print(const std::string& printer, bool selection, bool* selectionOffered = nullptr)
    {
        std::set<std::string> before = PrintedJobs();
        TPrintDialogAnswer answer(printer, selection);
        ChooseMenu(Form()->Print1);
        EXPECT_TRUE(WaitUntil([&] { return answer.Answered; }, 30000)) << "no print dialog";
        EXPECT_TRUE(WaitUntil([&] { return Form()->Print1->Enabled(); }, 60000)) << "Print stays disabled";
        if (selectionOffered) *selectionOffered = answer.SelectionOffered;
        TPrintedPdf pdf;
        std::string error;
        EXPECT_TRUE(WaitForPrintedJob(before, pdf, error, 60000, [] { Application->ProcessMessages(); })) << error;
        return pdf;
    }

    // The title (e.g. "MP Table") on the page; Page 0 when it is not there once.
    static TPdfWord Title(const TPrintedPdf& pdf, const std::string& title, int page)
    {
        std::vector<TPdfWord> found = pdf.Find(title, page);
        return found.size() == 1 ? found.front() : TPdfWord();
    }

    // Table `table` of the file (its values) printed under its title: the
    // header row of throttle breakpoints, then one line per engine speed.
    void ExpectTable(const TPrintedPdf& pdf, const std::string& title, int table, int page)
    {
        SCOPED_TRACE(title);
        const TPdfWord found = Title(pdf, title, page);
        ASSERT_EQ(page, found.Page) << title << " on page " << page;
        const double centre = found.CentreX();
        // A block is at most half the page wide.
        std::vector<TPdfLine> lines =
            pdf.Lines(page, centre - pdf.PageWidth / 4, found.Y1, centre + pdf.PageWidth / 4, pdf.PageHeight);
        ASSERT_GE(lines.size(), size_t(Rows + 1));
        std::string header;
        for (int c = 0; c < Columns; ++c) header += (c ? " " : "") + std::to_string(c * 100 / (Columns - 1));
        EXPECT_EQ(header, TPrintedPdf::Join(lines[0]));
        for (int r = 0; r < Rows; ++r) {
            std::string row = std::to_string(500 + 500 * r);
            for (int c = 0; c < Columns; ++c) row += " " + Value(table, r, c);
            EXPECT_EQ(row, TPrintedPdf::Join(lines[size_t(r + 1)])) << "row " << r;
        }
    }

    // The header: the file name at the left, "File Date:" and "File Type:"
    // at the right, and the notes (when printed) below the name.
    void ExpectHeader(const TPrintedPdf& pdf, const std::string& path, int page)
    {
        std::vector<TPdfWord> date = pdf.Find("File Date: " + FileDateText(path), page);
        ASSERT_EQ(1u, date.size()) << "file date on page " << page;
        std::vector<TPdfWord> type = pdf.Find("File Type: 1001", page);
        ASSERT_EQ(1u, type.size()) << "file type on page " << page;
        // Right-aligned at 15/16 of the width, the date above the type.
        EXPECT_LT(date.front().CentreY(), type.front().CentreY());
        EXPECT_NEAR(pdf.PageWidth * 15 / 16, date.front().X1, 3);
        EXPECT_NEAR(pdf.PageWidth * 15 / 16, type.front().X1, 3);
        // The name at the left margin, 1/16 of the width.
        std::vector<TPdfWord> name = pdf.Find(ExtractFileName(path), page);
        ASSERT_EQ(1u, name.size());
        EXPECT_NEAR(pdf.PageWidth / 16, name.front().X0, 3);
    }

    // The page number: the lowest text of the page, centred.
    void ExpectPageNumber(const TPrintedPdf& pdf, int page)
    {
        std::vector<TPdfLine> lines = pdf.Lines(page, 0, 0, pdf.PageWidth, pdf.PageHeight);
        ASSERT_FALSE(lines.empty());
        ASSERT_EQ(1u, lines.back().size());
        EXPECT_EQ(std::to_string(page), lines.back().front()->Text);
        EXPECT_NEAR(pdf.PageWidth / 2, lines.back().front()->CentreX(), 3);
    }
};

TEST_F(PrintTest, FourTablesOnA4TwoRowsOfTwoUnderTheHeaderAndNotes)
{
    std::string path = LoadMap("print-a4.map", 1001, 4, "Dyno run\r\nsecond line");
    bool selectionOffered = false;
    TPrintedPdf pdf = Print("GantrelPDF", false, &selectionOffered);
    EXPECT_TRUE(selectionOffered);
    ASSERT_EQ(1, pdf.Pages);
    EXPECT_EQ(595, int(pdf.PageWidth + 0.5));
    EXPECT_EQ(842, int(pdf.PageHeight + 0.5));
    EXPECT_EQ(ExtractFileName(path), pdf.Title);
    ExpectHeader(pdf, path, 1);
    ASSERT_TRUE(pdf.Has("Notes:", 1));
    const TPdfWord notes = pdf.Find("Notes:", 1).front();
    ASSERT_TRUE(pdf.Has("Dyno run", 1) && pdf.Has("second line", 1));
    const TPdfWord line1 = pdf.Find("Dyno run", 1).front();
    const TPdfWord line2 = pdf.Find("second line", 1).front();
    // The notes stand below "Notes:", indented, one under the other.
    EXPECT_GT(line1.X0, notes.X0);
    EXPECT_NEAR(line1.X0, line2.X0, 1);
    EXPECT_LT(notes.CentreY(), line1.CentreY());
    EXPECT_LT(line1.CentreY(), line2.CentreY());

    const TPdfWord aap = Title(pdf, "AAP Table", 1), tp = Title(pdf, "TP Table", 1);
    const TPdfWord mp = Title(pdf, "MP Table", 1), ign = Title(pdf, "Ignition Table", 1);
    ASSERT_TRUE(aap.Page && tp.Page && mp.Page && ign.Page);
    // Two side by side, the second row below the first, all below the notes.
    EXPECT_NEAR(aap.CentreY(), tp.CentreY(), 1);
    EXPECT_NEAR(mp.CentreY(), ign.CentreY(), 1);
    EXPECT_GT(aap.CentreY(), line2.CentreY());
    EXPECT_GT(mp.CentreY(), aap.CentreY());
    const double area = pdf.PageWidth - 20 * 72.0 / 300;
    EXPECT_NEAR(area / 4, aap.CentreX(), 4);
    EXPECT_NEAR(area * 3 / 4, tp.CentreX(), 4);
    EXPECT_NEAR(area / 4, mp.CentreX(), 4);
    EXPECT_NEAR(area * 3 / 4, ign.CentreX(), 4);
    ExpectTable(pdf, "AAP Table", 0, 1);
    ExpectTable(pdf, "TP Table", 1, 1);
    ExpectTable(pdf, "MP Table", 2, 1);
    ExpectTable(pdf, "Ignition Table", 3, 1);
    ExpectPageNumber(pdf, 1);
    EXPECT_TRUE(Form()->Print1->Enabled());
}

TEST_F(PrintTest, OnAShortPageEachRowOfTablesGetsItsOwnPage)
{
    std::string path = LoadMap("print-strip.map", 1001, 4, "Dyno run\r\nsecond line");
    TPrintedPdf pdf = Print("GantrelStrip", false);
    ASSERT_EQ(2, pdf.Pages);
    EXPECT_EQ(420, int(pdf.PageHeight + 0.5));
    // Every page has the header; only the first the notes.
    ExpectHeader(pdf, path, 1);
    ExpectHeader(pdf, path, 2);
    EXPECT_TRUE(pdf.Has("Notes:", 1));
    EXPECT_TRUE(pdf.Has("Dyno run", 1));
    EXPECT_FALSE(pdf.Has("Notes:", 2));
    EXPECT_FALSE(pdf.Has("Dyno run", 2));
    ExpectTable(pdf, "AAP Table", 0, 1);
    ExpectTable(pdf, "TP Table", 1, 1);
    ExpectTable(pdf, "MP Table", 2, 2);
    ExpectTable(pdf, "Ignition Table", 3, 2);
    EXPECT_FALSE(pdf.Has("MP Table", 1));
    EXPECT_FALSE(pdf.Has("AAP Table", 2));
    ExpectPageNumber(pdf, 1);
    ExpectPageNumber(pdf, 2);
}

TEST_F(PrintTest, ThreeTablesPutTheThirdAloneAcrossTheWholeWidth)
{
    std::string path = LoadMap("print-three.map", 1001, 4, "");
    // No map model holds three tables; the layout is the printer's business.
    Form()->Config.FileSet.Count = 3;
    TPrintedPdf pdf = Print("GantrelPDF", false);
    ASSERT_EQ(1, pdf.Pages);
    ExpectHeader(pdf, path, 1);
    EXPECT_FALSE(pdf.Has("Notes:"));
    const TPdfWord aap = Title(pdf, "AAP Table", 1), tp = Title(pdf, "TP Table", 1), mp = Title(pdf, "MP Table", 1);
    ASSERT_TRUE(aap.Page && tp.Page && mp.Page);
    EXPECT_FALSE(pdf.Has("Ignition Table"));
    EXPECT_NEAR(aap.CentreY(), tp.CentreY(), 1);
    EXPECT_GT(mp.CentreY(), aap.CentreY());
    // The printing area is the page less 20 device pixels (300 per inch) at the right.
    const double area = pdf.PageWidth - 20 * 72.0 / 300;
    EXPECT_NEAR(area / 4, aap.CentreX(), 4);
    EXPECT_NEAR(area * 3 / 4, tp.CentreX(), 4);
    EXPECT_NEAR(area / 2, mp.CentreX(), 4);
    ExpectTable(pdf, "MP Table", 2, 1);
    ExpectPageNumber(pdf, 1);
}

TEST_F(PrintTest, SelectionPrintsTheShownTableWithHeaderNotesAndPageOne)
{
    std::string path = LoadMap("print-selection.map", 1001, 4, "Dyno run\r\nsecond line");
    Form()->EpIITabControl1->SetTabIndex(2);
    ASSERT_EQ(2, Form()->CurrentTable);
    // An edit still in the grid is what gets printed.
    Form()->StringGrid1->SetFocus();
    Form()->StringGrid1->SetCells(1, 1, "77");
    TPrintedPdf pdf = Print("GantrelPDF", true);
    ASSERT_EQ(1, pdf.Pages);
    ExpectHeader(pdf, path, 1);
    EXPECT_TRUE(pdf.Has("Notes:", 1));
    EXPECT_TRUE(pdf.Has("Dyno run", 1));
    EXPECT_TRUE(pdf.Has("second line", 1));
    const TPdfWord mp = Title(pdf, "MP Table", 1);
    ASSERT_EQ(1, mp.Page);
    for (const char* other : {"AAP Table", "TP Table", "Ignition Table"}) EXPECT_FALSE(pdf.Has(other)) << other;
    EXPECT_NEAR((pdf.PageWidth - 20 * 72.0 / 300) / 2, mp.CentreX(), 4);
    std::vector<TPdfLine> lines = pdf.Lines(1, pdf.PageWidth / 4, mp.Y1, pdf.PageWidth * 3 / 4, pdf.PageHeight);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ("500 77", TPrintedPdf::Join(lines[1]).substr(0, 6));
    EXPECT_EQ(77, Form()->Config.FileSet[2].Kind->Cell(0, 0));
    ExpectPageNumber(pdf, 1);
}

TEST_F(PrintTest, APasteWhileTheNotesWindowIsOpenIsPrinted)
{
    LoadMap("print-paste.map", 1001, 4, "");
    ChooseMenu(Form()->Notes1);  // the notes keep the focus: the grid is never left
    Clipboard()->SetAsText("7");
    ChooseMenu(Form()->Paste1);  // into the first cell, -2 in the file
    TPrintedPdf pdf = Print("GantrelPDF", true);
    std::vector<TPdfLine> lines = pdf.Lines(1, 0, Title(pdf, "AAP Table", 1).Y1, pdf.PageWidth, pdf.PageHeight);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ("500 7 -1", TPrintedPdf::Join(lines[1]).substr(0, 8));
    Form()->NotesWindow->Close();
}

TEST_F(PrintTest, TheFileTypeIsTheModelCodeTheFileHolds)
{
    for (const auto& [code, tables, type] : std::vector<std::tuple<int, int, std::string>>{
             {2105, 2, "2105"}, {0x100000 | 2108, 2, "2108"}}) {
        LoadMap("print-type.map", code, tables, "");
        EXPECT_TRUE(Print("GantrelPDF", false).Has("File Type: " + type, 1)) << code;
    }
}

TEST_F(PrintTest, NotesAreCutAfterTheirEleventhLine)
{
    std::string path = LoadMap("print-notes.map", 1001, 4, NoteLines(14) + "\r\n");
    TPrintedPdf pdf = Print("GantrelPDF", false);
    ASSERT_EQ(1, pdf.Pages);
    for (int i = 1; i <= 11; ++i) EXPECT_TRUE(pdf.Has("Line " + std::to_string(i), 1)) << i;
    for (int i = 12; i <= 14; ++i) EXPECT_FALSE(pdf.Has("Line " + std::to_string(i))) << i;
    // The tables start below the last line printed.
    ASSERT_TRUE(pdf.Has("Line 11", 1));
    const TPdfWord last = pdf.Find("Line 11", 1).front();
    const TPdfWord aap = Title(pdf, "AAP Table", 1);
    ASSERT_EQ(1, aap.Page);
    EXPECT_GT(aap.Y0, last.Y1);
    ExpectTable(pdf, "Ignition Table", 3, 1);
}

TEST_F(PrintTest, APageWhereNoRowOfTablesFitsKeepsItsHeaderAndEnds)
{
    std::string path = LoadMap("print-card.map", 1001, 4, "Dyno run\r\nsecond line");
    TPrintedPdf pdf = Print("GantrelCard", false);
    ASSERT_EQ(1, pdf.Pages);
    EXPECT_EQ(250, int(pdf.PageHeight + 0.5));
    ExpectHeader(pdf, path, 1);
    EXPECT_TRUE(pdf.Has("second line", 1));
    EXPECT_FALSE(pdf.Has("Table"));
    ExpectPageNumber(pdf, 1);
    EXPECT_TRUE(Form()->Print1->Enabled());
}

TEST_F(PrintTest, ASelectedTableNeverRunsOverTheHeader)
{
    // Centred on the short page it would cover the last lines of the notes.
    LoadMap("print-low.map", 1001, 4, NoteLines(11));
    TPrintedPdf pdf = Print("GantrelStrip", true);
    ASSERT_EQ(1, pdf.Pages);
    ASSERT_TRUE(pdf.Has("Line 11", 1));
    const TPdfWord aap = Title(pdf, "AAP Table", 1);
    ASSERT_EQ(1, aap.Page);
    EXPECT_GT(aap.Y0, pdf.Find("Line 11", 1).front().Y1);
    ExpectTable(pdf, "AAP Table", 0, 1);
    ExpectPageNumber(pdf, 1);

    // Where it is taller than the room left, it starts right below the header.
    pdf = Print("GantrelCard", true);
    ASSERT_EQ(1, pdf.Pages);
    const TPdfWord low = Title(pdf, "AAP Table", 1);
    ASSERT_EQ(1, low.Page);
    EXPECT_GT(low.Y0, pdf.Find("Line 11", 1).front().Y1);
}

TEST_F(PrintTest, AOneTableMapOffersNoSelectionAndPrintsItAcrossTheWidth)
{
    std::string path = TempFile("print-one.map");
    WriteFileBytes(path, MakeMapBytes(201, 1004, 1, Rows, Columns, "", -2));
    ASSERT_TRUE(Load(path));
    bool selectionOffered = true;
    TPrintedPdf pdf = Print("GantrelPDF", false, &selectionOffered);
    EXPECT_FALSE(selectionOffered);
    ASSERT_EQ(1, pdf.Pages);
    EXPECT_TRUE(pdf.Has("File Type: 1004", 1));
    const TPdfWord fuel = Title(pdf, "Fuel Table", 1);
    ASSERT_EQ(1, fuel.Page);
    EXPECT_NEAR((pdf.PageWidth - 20 * 72.0 / 300) / 2, fuel.CentreX(), 4);
    ExpectTable(pdf, "Fuel Table", 0, 1);
}

TEST_F(PrintTest, WithoutAMapNothingIsAskedOrPrinted)
{
    // The item is off until a map loads; were it on, the command says why it does nothing.
    EXPECT_FALSE(Form()->Print1->Enabled());
    Form()->Print1->SetEnabled(true);
    std::set<std::string> before = PrintedJobs();
    TPrintDialogAnswer answer("GantrelPDF", false);
    ChooseMenu(Form()->Print1);
    Pump(300);
    EXPECT_FALSE(answer.Answered);
    EXPECT_EQ("Load a File First", Status());
    EXPECT_TRUE(Form()->Print1->Enabled());
    EXPECT_EQ(before, PrintedJobs());
}

TEST_F(PrintTest, ThePrinterFontIsTheLargestSizeAtWhichTheTablesFit)
{
    LoadMap("print-font.map", 1001, 4, "");
    TPrinter* printer = Printer();
    printer->SelectPrinter("GantrelPDF");
    printer->BeginDoc();
    TCanvas* canvas = printer->Canvas();
    const int columns = Form()->StringGrid1->ColCount(), rows = Form()->StringGrid1->RowCount();
    // Two tables per row: six digits per column must fit half the width.
    const int size = Form()->FitPrinterFont(printer, 2);
    EXPECT_GT(size, 1);
    EXPECT_EQ(size, canvas->Font()->Size());
    auto fits = [&](int points, int perRow) {
        canvas->Font()->SetSize(points);
        return canvas->TextWidth("888888") <= printer->PageWidth() / perRow / columns &&
               canvas->TextHeight("8") <= printer->PageHeight() / rows;
    };
    EXPECT_TRUE(fits(size, 2));
    EXPECT_FALSE(fits(size + 1, 2));
    EXPECT_LT(Form()->FitPrinterFont(printer, 2 * columns * 1000), 1);  // nothing fits: 0, printed at 1 point
    EXPECT_EQ(1, canvas->Font()->Size());
    EXPECT_EQ(0, Form()->FitPrinterFont(printer, 0));  // no division by zero, no endless search
    printer->Abort();
}

// An exception while printing ends the document and leaves Print usable.
std::vector<std::string> CallbackErrors;
void CollectCallbackError(const std::exception& e)
{
    CallbackErrors.push_back(e.what());
}

TEST_F(PrintTest, AnErrorWhilePrintingLeavesTheCommandUsable)
{
    LoadMap("print-error.map", 1001, 4, "");
    // The printer chosen in the dialog is gone when printing starts.
    TCommonDialog::ExecuteHook = [](TCommonDialog*) {
        Printer()->SelectPrinter("Gantrel vanished printer");
        return true;
    };
    CallbackErrors.clear();
    TCallbackExceptionHandler previous = SetCallbackExceptionHandler(CollectCallbackError);
    ChooseMenu(Form()->Print1);
    Pump(100);
    SetCallbackExceptionHandler(previous);
    TCommonDialog::ExecuteHook = nullptr;
    ASSERT_EQ(1u, CallbackErrors.size());
    EXPECT_NE(std::string::npos, CallbackErrors[0].find("Gantrel vanished printer"));
    EXPECT_FALSE(Printer()->Printing());
    EXPECT_TRUE(Form()->Print1->Enabled());
    // The next try prints.
    TPrintedPdf pdf = Print("GantrelPDF", false);
    EXPECT_EQ(1, pdf.Pages);
    EXPECT_TRUE(pdf.Has("AAP Table", 1));
}

// Runs with and without the print server (tools/test.sh runs it twice).
class PrintAvailability : public MainWindowTest {};

TEST_F(PrintAvailability, ThePrintItemAndDialogExistOnlyWithAPrinter)
{
    ASSERT_TRUE(PrintServerKnown()) << "run through tools/test.sh or tools/wine-test.sh";
    const bool printers = !TestPrinters().empty();
    EXPECT_EQ(printers, TForm1::PrinterAvailable());
    EXPECT_EQ(printers, Form()->PrintDialog != nullptr);
    EXPECT_EQ(printers, Form()->Print1->Visible());
    // The File menu as the user sees it.
    HMENU file = GetSubMenu(GetMenu(Form()->Handle()), 0);
    ASSERT_NE(nullptr, file);
    const UINT state = GetMenuState(file, Form()->Print1->Command(), MF_BYCOMMAND);
    if (printers) {
        ASSERT_NE(UINT(-1), state);
        EXPECT_TRUE(state & MF_GRAYED);  // until a map is loaded
    } else {
        EXPECT_EQ(UINT(-1), state);
        // Even a stray command of the hidden item asks nothing.
        Form()->Print1->SetEnabled(true);
        TPrintDialogAnswer answer("", false);
        PostMessageA(Form()->Handle(), WM_COMMAND, MAKEWPARAM(Form()->Print1->Command(), 0), 0);
        Pump(300);
        EXPECT_FALSE(answer.Answered);
    }
}

}  // namespace
