// TPrinter: the program's one printer. It lists the installed printers,
// keeps the chosen one with its settings, and prints documents page by
// page on a canvas:
//
//   TPrinter* p = Printer();
//   p->Title = "Fuel map";
//   p->BeginDoc();
//   p->Canvas()->TextOut(100, 100, "Page 1");
//   p->NewPage();
//   ...
//   p->EndDoc();
//
// Failures (no printer, a printer that cannot be opened, BeginDoc while
// printing, NewPage when not) raise EPrinter.
#pragma once

#include "Canvas.h"
#include "Strings.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

enum TPrinterOrientation { poPortrait, poLandscape };

class TPrinter : public TObject {
    GANTREL_CLASS(TPrinter)

    TPrinter();
    ~TPrinter() override;

    // The names of the local and connected printers, listed on first use.
    TStrings* Printers();
    // Lists the printers again (one was installed or removed).
    void Refresh();

    // The current printer's position in Printers(), -1 when it is not
    // listed; setting -1 chooses the system's default printer.
    int PrinterIndex();
    void SetPrinterIndex(int index);
    // The current printer ("" when there is none).
    std::string PrinterName();
    // Chooses a printer by name, with its settings when given (the print
    // dialog passes what the user chose); "" is the default printer.
    void SelectPrinter(const std::string& name, const DEVMODEA* devMode = nullptr);
    // The settings chosen for the current printer, or null for its defaults.
    const DEVMODEA* DevMode() const;

    void BeginDoc();
    void EndDoc();
    void NewPage();
    // Throws the document away.
    void Abort();
    bool Printing() const { return FHandle != nullptr; }
    bool Aborted() const { return FAborted; }
    int PageNumber() const { return FPageNumber; }
    // The document's name in the print queue.
    std::string Title;

    // Drawing on the page; only while printing. Its font's sizes are points
    // at the printer's resolution.
    TCanvas* Canvas() const { return FCanvas; }
    HDC Handle() const { return FHandle; }
    // The printable area in device pixels, and the device's resolution.
    int PageWidth();
    int PageHeight();
    int PixelsPerInch();

    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation orientation);
    int Copies() const { return FCopies; }
    void SetCopies(int copies);

private:
    TStringList* FPrinters = nullptr;
    std::string FPrinterName;  // empty: the default printer
    std::vector<uint8_t> FDevMode;
    TPrinterOrientation FOrientation = poPortrait;
    int FCopies = 1;
    HDC FHandle = nullptr;
    TCanvas* FCanvas;
    bool FAborted = false;
    int FPageNumber = 0;
    void CheckPrinting(bool printing) const;
    std::string RequirePrinter();
    // The settings to open the printer with: the chosen ones or the
    // printer's defaults, with orientation and copies applied.
    std::vector<uint8_t> PreparedDevMode(const std::string& name);
    int DeviceCaps(int index);
};

// Made on first use.
TPrinter* Printer();
// Frees it (DoneFramework).
void FreePrinter();
