#include "Printers.h"

#include <winspool.h>

#include <algorithm>
#include <cstring>

namespace {

// The printer's canvas exists only between BeginDoc and EndDoc.
class TPrinterCanvas : public TCanvas {
protected:
    void CreateHandle() override { throw EPrinter("Printing is not in progress"); }
};

TPrinter* ThePrinter = nullptr;

std::string DefaultPrinterName()
{
    DWORD size = 0;
    GetDefaultPrinterA(nullptr, &size);
    if (size == 0) return std::string();
    std::string name(size, '\0');
    if (!GetDefaultPrinterA(&name[0], &size)) return std::string();
    name.resize(std::strlen(name.c_str()));
    return name;
}

// The printer's own default settings, or nothing when the driver has none.
std::vector<uint8_t> DefaultDevMode(const std::string& name)
{
    std::vector<uint8_t> result;
    std::vector<char> device(name.begin(), name.end());
    device.push_back('\0');
    HANDLE printer = nullptr;
    if (!OpenPrinterA(device.data(), &printer, nullptr)) return result;
    LONG size = DocumentPropertiesA(nullptr, printer, device.data(), nullptr, nullptr, 0);
    if (size > 0) {
        // Room for a whole DEVMODEA even if the driver's is older and shorter.
        result.assign(std::max<size_t>(size_t(size), sizeof(DEVMODEA)), 0);
        if (DocumentPropertiesA(nullptr, printer, device.data(), reinterpret_cast<DEVMODEA*>(result.data()), nullptr,
                                DM_OUT_BUFFER) != IDOK)
            result.clear();
    }
    ClosePrinter(printer);
    return result;
}

std::vector<uint8_t> CopyDevMode(const DEVMODEA* devMode)
{
    if (!devMode) return {};
    size_t size = size_t(devMode->dmSize) + devMode->dmDriverExtra;
    const auto* bytes = reinterpret_cast<const uint8_t*>(devMode);
    std::vector<uint8_t> copy(bytes, bytes + size);
    if (copy.size() < sizeof(DEVMODEA)) copy.resize(sizeof(DEVMODEA), 0);
    return copy;
}

}  // namespace

TPrinter* Printer()
{
    if (!ThePrinter) ThePrinter = new TPrinter;
    return ThePrinter;
}

void FreePrinter()
{
    delete ThePrinter;
    ThePrinter = nullptr;
}

TPrinter::TPrinter() : FCanvas(new TPrinterCanvas) {}

TPrinter::~TPrinter()
{
    if (Printing()) {
        FCanvas->SetHandle(nullptr);
        AbortDoc(FHandle);
        DeleteDC(FHandle);
        FHandle = nullptr;
    }
    delete FCanvas;
    delete FPrinters;
}

TStrings* TPrinter::Printers()
{
    if (FPrinters) return FPrinters;
    FPrinters = new TStringList;
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    DWORD needed = 0, count = 0;
    EnumPrintersA(flags, nullptr, 4, nullptr, 0, &needed, &count);
    if (needed == 0) return FPrinters;
    // The list may grow between the two calls: ask again while it does.
    std::vector<uint8_t> buffer;
    BOOL ok = FALSE;
    for (int attempt = 0; attempt < 3 && !ok; ++attempt) {
        buffer.assign(needed, 0);
        ok = EnumPrintersA(flags, nullptr, 4, buffer.data(), DWORD(buffer.size()), &needed, &count);
        if (!ok && GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    }
    if (!ok) return FPrinters;
    auto* info = reinterpret_cast<PRINTER_INFO_4A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        if (info[i].pPrinterName && *info[i].pPrinterName) FPrinters->Add(info[i].pPrinterName);
    return FPrinters;
}

void TPrinter::Refresh()
{
    delete FPrinters;
    FPrinters = nullptr;
}

std::string TPrinter::PrinterName()
{
    return FPrinterName.empty() ? DefaultPrinterName() : FPrinterName;
}

int TPrinter::PrinterIndex()
{
    std::string name = PrinterName();
    return name.empty() ? -1 : Printers()->IndexOf(name);
}

void TPrinter::SetPrinterIndex(int index)
{
    if (index == -1) {
        SelectPrinter(std::string());
        return;
    }
    if (index < 0 || index >= Printers()->Count())
        throw EPrinter("Printer index out of range (" + std::to_string(index) + ")");
    SelectPrinter(Printers()->Get(index));
}

void TPrinter::SelectPrinter(const std::string& name, const DEVMODEA* devMode)
{
    CheckPrinting(false);
    FPrinterName = name;
    FDevMode = CopyDevMode(devMode);
    if (!FDevMode.empty()) {
        auto* dm = reinterpret_cast<DEVMODEA*>(FDevMode.data());
        if (dm->dmFields & DM_ORIENTATION) FOrientation = dm->dmOrientation == DMORIENT_LANDSCAPE ? poLandscape : poPortrait;
        if ((dm->dmFields & DM_COPIES) && dm->dmCopies > 0) FCopies = dm->dmCopies;
    }
}

const DEVMODEA* TPrinter::DevMode() const
{
    return FDevMode.empty() ? nullptr : reinterpret_cast<const DEVMODEA*>(FDevMode.data());
}

void TPrinter::SetOrientation(TPrinterOrientation orientation)
{
    if (orientation == FOrientation) return;
    CheckPrinting(false);
    FOrientation = orientation;
}

void TPrinter::SetCopies(int copies)
{
    if (copies == FCopies) return;
    CheckPrinting(false);
    if (copies < 1) throw EPrinter("The number of copies must be at least 1");
    FCopies = copies;
}

void TPrinter::CheckPrinting(bool printing) const
{
    if (Printing() == printing) return;
    throw EPrinter(printing ? "Printing is not in progress" : "Printing is in progress");
}

std::string TPrinter::RequirePrinter()
{
    std::string name = PrinterName();
    if (name.empty()) throw EPrinter("No printer is installed");
    return name;
}

std::vector<uint8_t> TPrinter::PreparedDevMode(const std::string& name)
{
    std::vector<uint8_t> devMode = FDevMode.empty() ? DefaultDevMode(name) : FDevMode;
    if (devMode.empty()) return devMode;
    auto* dm = reinterpret_cast<DEVMODEA*>(devMode.data());
    dm->dmFields |= DM_ORIENTATION | DM_COPIES;
    dm->dmOrientation = FOrientation == poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    dm->dmCopies = short(std::min(FCopies, 32767));
    return devMode;
}

void TPrinter::BeginDoc()
{
    CheckPrinting(false);
    std::string name = RequirePrinter();
    std::vector<uint8_t> devMode = PreparedDevMode(name);
    HDC dc = CreateDCA("WINSPOOL", name.c_str(), nullptr,
                       devMode.empty() ? nullptr : reinterpret_cast<DEVMODEA*>(devMode.data()));
    if (!dc) throw EPrinter("Cannot open the printer " + name);
    DOCINFOA info = {};
    info.cbSize = sizeof info;
    info.lpszDocName = Title.empty() ? "Document" : Title.c_str();
    if (StartDocA(dc, &info) <= 0) {
        DeleteDC(dc);
        throw EPrinter("Cannot start printing on " + name);
    }
    if (StartPage(dc) <= 0) {
        AbortDoc(dc);
        DeleteDC(dc);
        throw EPrinter("Cannot start a page on " + name);
    }
    FHandle = dc;
    FAborted = false;
    FPageNumber = 1;
    // Font sizes are points on paper, not on the screen.
    FCanvas->Font()->SetPixelsPerInch(GetDeviceCaps(dc, LOGPIXELSY));
    FCanvas->SetHandle(dc);
}

void TPrinter::EndDoc()
{
    CheckPrinting(true);
    FCanvas->SetHandle(nullptr);
    HDC dc = FHandle;
    FHandle = nullptr;
    bool ok = EndPage(dc) > 0;
    ok = ::EndDoc(dc) > 0 && ok;
    DeleteDC(dc);
    if (!ok) throw EPrinter("The document could not be printed");
}

void TPrinter::NewPage()
{
    CheckPrinting(true);
    // A new page may start with the context's defaults: select afresh.
    FCanvas->SetHandle(nullptr);
    if (EndPage(FHandle) <= 0 || StartPage(FHandle) <= 0) {
        HDC dc = FHandle;
        FHandle = nullptr;
        AbortDoc(dc);
        DeleteDC(dc);
        FAborted = true;
        throw EPrinter("Cannot start a new page");
    }
    ++FPageNumber;
    FCanvas->SetHandle(FHandle);
}

void TPrinter::Abort()
{
    CheckPrinting(true);
    FCanvas->SetHandle(nullptr);
    AbortDoc(FHandle);
    DeleteDC(FHandle);
    FHandle = nullptr;
    FAborted = true;
}

int TPrinter::DeviceCaps(int index)
{
    if (Printing()) return GetDeviceCaps(FHandle, index);
    std::string name = RequirePrinter();
    std::vector<uint8_t> devMode = PreparedDevMode(name);
    HDC ic = CreateICA("WINSPOOL", name.c_str(), nullptr,
                       devMode.empty() ? nullptr : reinterpret_cast<DEVMODEA*>(devMode.data()));
    if (!ic) throw EPrinter("Cannot open the printer " + name);
    int value = GetDeviceCaps(ic, index);
    DeleteDC(ic);
    return value;
}

int TPrinter::PageWidth()
{
    return DeviceCaps(HORZRES);
}

int TPrinter::PageHeight()
{
    return DeviceCaps(VERTRES);
}

int TPrinter::PixelsPerInch()
{
    return DeviceCaps(LOGPIXELSY);
}
