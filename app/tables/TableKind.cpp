#include "TableKind.h"

#include "Rounding.h"
#include "SysUtils.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

TMapLayout TTableKind::Layout;
std::atomic<uint8_t> TTableKind::TpClosedRaw{0};
std::atomic<uint8_t> TTableKind::TpOpenRaw{255};
std::atomic<int> TTableKind::RpmDivisor{2};
std::atomic<int> TTableKind::OutputDivisor{1};
int TTableKind::InstanceCount = 0;

namespace {
// 0.9842519371 is just below 125/127; kept as the stored constant.
constexpr double MpFactor = 0.9842519371;
constexpr double Percent = 0.390625;  // 100 / 256

// Only the low 8 bits of a packed value are stored; without limits a value
// can lie anywhere, so the offset must not overflow.
int Add128(int v) { return int(unsigned(v) + 128u); }
}

bool ReadCellValue(const std::string& text, int& value)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i == text.size()) {
        value = 0;
        return true;
    }
    const char* begin = text.c_str() + i;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(begin, &end, 10);
    if (end == begin) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != '\0') return false;
    if (errno == ERANGE || v > INT_MAX) v = v < 0 ? INT_MIN : INT_MAX;
    if (v < INT_MIN) v = INT_MIN;
    value = static_cast<int>(v);
    return true;
}

int CellValue(const std::string& text)
{
    int v = 0;
    return ReadCellValue(text, v) ? v : 0;
}

TTableKind::TTableKind(int firstTextId, int captionTextId)
    : FirstTextId(firstTextId), CaptionTextId(captionTextId)
{
    ++InstanceCount;
}

TTableKind::~TTableKind()
{
    // The breakpoints go with any kind; the next map load allocates them again.
    Layout.RowBreakpoints.clear();
    Layout.ColumnBreakpoints.clear();
    Layout.Allocated = false;
    --InstanceCount;
}

std::string TTableKind::Text(int languageBase, int k) const
{
    if (FirstTextId == 0) return "Base";
    if (k < 0 || k > 10) return "Unknown String";
    int id = k < 5 ? FirstTextId + k : k == 5 ? CaptionTextId : FirstTextId + k - 1;
    return LoadStr(languageBase + id);
}

double TTableKind::RpmFromPeriod(int period)
{
    int divisor = RpmDivisor;
    if (period == 0 || divisor == 0) return NoValue;
    return double(RpmConstant) / period * 60 / divisor;
}

int TTableKind::TpScale()
{
    int span = int(TpOpenRaw) - int(TpClosedRaw);
    return span == 0 ? 25 : 6375 / span;
}

int TTableKind::CellIndex(int rpm, int rpmStep)
{
    if (rpmStep <= 0) return -1;
    // 64 bits: a breakpoint typed into the grid can be any 32-bit value.
    long long index = (static_cast<long long>(rpmStep) * TableCells - rpm) / rpmStep;
    return SaturatedInt(index);
}

namespace {
// Packed value of one grid cell; 0 is "no change" in every kind.
int PackCell(const TTableKind& kind, int v, int (TTableKind::*pack)(int) const)
{
    return v == 0 ? 128 : (kind.*pack)(v);
}
}

int TTableKind::GridToBytes(uint8_t* table, const TCellText& grid, int rpmStep) const
{
    const int total = TableSize();
    for (int c = 0; c < TableColumns; ++c) {
        const int base = c * TableCells;
        table[base + 31] = 128;
        int fillValue = 128;
        int fillIndex = 0;
        for (int r = 1; r <= Layout.Rows - 1; ++r) {
            int i0 = CellIndex(CellValue(grid.GetCell(0, r)), rpmStep);
            int i1 = CellIndex(CellValue(grid.GetCell(0, r + 1)), rpmStep);
            int b0 = PackCell(*this, CellValue(grid.GetCell(c + 1, r)), &TTableKind::Pack);
            int b1 = PackCell(*this, CellValue(grid.GetCell(c + 1, r + 1)), &TTableKind::Pack);
            if (i1 < 0) {
                fillValue = b0;
                fillIndex = i0;
                break;
            }
            // Interpolate from (i0, b0) to (i1, b1) in whole-table indexes.
            long long start = static_cast<long long>(base) + i0;
            long long n = std::llabs(static_cast<long long>(i1) - i0);
            if (n == 0) {
                if (start >= 0 && start < total) table[start] = uint8_t(b0);
            } else {
                int dir = i1 > i0 ? 1 : -1;
                // In double: packed values outside the limits can lie anywhere.
                double slope = (double(b1) - double(b0)) / double(n);
                // Only the steps that land inside the table are computed.
                long long jFirst = dir > 0 ? std::max(0LL, -start) : std::max(0LL, start - (total - 1));
                long long jLast = dir > 0 ? std::min(n, total - 1 - start) : std::min(n, start);
                for (long long j = jFirst; j <= jLast; ++j) {
                    long long index = start + dir * j;
                    float value = static_cast<float>(slope * double(j) + b0);
                    table[index] = uint8_t(RoundHalfAway(value));
                }
            }
            fillValue = b1;
            fillIndex = i1;
        }
        // Speeds above the last breakpoint keep the last row's value.
        int fillEnd = std::min(fillIndex, TableCells);
        for (int i = 0; i < fillEnd; ++i) table[base + i] = uint8_t(fillValue);
    }
    return 1;
}

int TTableKind::BytesToGrid(const uint8_t* table, TCellText& grid, int rpmStep) const
{
    for (int c = 0; c < TableColumns; ++c) {
        for (int r = 1; r <= Layout.Rows; ++r) {
            int i = CellIndex(CellValue(grid.GetCell(0, r)), rpmStep);
            if (i < 0 || i >= TableCells)
                grid.SetCell(c + 1, r, "0");
            else
                grid.SetCell(c + 1, r, std::to_string(Display(table[c * TableCells + i])));
        }
    }
    return 1;
}

// AAP: 2.56 steps per percent.
int TAapKind::Pack(int v) const { return Add128(TruncToInt(v * 2.56f + 0.5 * Sgn(v))); }
int TAapKind::Display(uint8_t b) const { return RoundHalfAway((b - 128) * Percent, b > 128); }
int TAapKind::DisplayOf(int v) const { return RoundHalfAway(v * Percent, v > 0); }
double TAapKind::LiveByte(uint8_t, uint8_t b) const { return (b - 128) * Percent; }

// TP: the span follows the throttle calibration.
TTpKind::TTpKind() : TTableKind(320, 288)
{
    TpClosedRaw = 0;
    TpOpenRaw = 255;
}
int TTpKind::Pack(int v) const
{
    int s = TpScale();
    if (s == 0) s = 1;
    return TruncToInt(double(v) * 127 / s + 128 + 0.5 * Sgn(v));
}
int TTpKind::Display(uint8_t b) const
{
    return RoundHalfAway(double(b - 128) * TpScale() / 127, b > 128);
}
int TTpKind::DisplayOf(int v) const { return RoundHalfAway(double(v) * TpScale() / 127, v > 0); }
double TTpKind::LiveTp(uint8_t a) const
{
    int open = TpOpenRaw, closed = TpClosedRaw;
    if (open == closed) return NoValue;
    return double(a - closed) * 100 / (open - closed);
}
double TTpKind::LiveByte(uint8_t a, uint8_t b) const
{
    int open = TpOpenRaw, closed = TpClosedRaw;
    if (open == closed) return NoValue;
    return LiveTp(a) + double(b - 128) * 50 / (open - closed);
}

// MP
int TMpKind::Pack(int v) const { return Add128(TruncToInt(v * 1.016f + 0.5 * Sgn(v))); }
int TMpKind::Display(uint8_t b) const { return RoundHalfAway((b - 128) * MpFactor, b > 128); }
int TMpKind::DisplayOf(int v) const { return TruncToInt((double(v) + (v > 0 ? 0.5 : -0.5)) * 125 / 127); }
double TMpKind::LiveByte(uint8_t, uint8_t b) const { return (b - 128) * MpFactor; }

// Ignition: 128 steps per 11.25 degrees.
int TIgnitionKind::Pack(int v) const { return TruncToInt(double(v) * 128 / 11.25 + 0.5 * Sgn(v) + 128); }
int TIgnitionKind::Display(uint8_t b) const { return RoundHalfAway((b - 128) * 11.25 / 128, b > 128); }
int TIgnitionKind::DisplayOf(int v) const { return RoundHalfAway(double(v) * 11.25 / 128, v > 0); }
double TIgnitionKind::LiveByte(uint8_t, uint8_t b) const { return (b - 128) / 128.0 * 11.25; }

// AT
int TAtKind::Pack(int v) const { return Add128(TruncToInt(v * 1.16f + 0.5 * Sgn(v))); }
int TAtKind::Display(uint8_t b) const { return RoundHalfAway((b - 128) * 25 / 29.0, b > 128); }
int TAtKind::DisplayOf(int v) const { return RoundHalfAway(double(v) * 25 / 29.0, v > 0); }
double TAtKind::LiveByte(uint8_t, uint8_t b) const { return (b - 128) * 25 / 29.0; }

// Fuel: half a percent per step.
int TFuelKind::Pack(int v) const { return Add128(TruncToInt(double(v) * 2 * 0.01 * 128 + 0.5 * Sgn(v))); }
int TFuelKind::Display(uint8_t b) const { return RoundHalfAway((b - 128) / 128.0 * 100 * 0.5, b > 128); }
int TFuelKind::DisplayOf(int v) const { return RoundHalfAway((double(v) - 128) * Percent, v >= 128); }
double TFuelKind::LivePair(uint8_t, uint8_t b) const
{
    return (b - 128) * Percent + (b >= 128 ? 0.5 : -0.5);
}

namespace {
// Injector duty from the two rate bytes, shared by both fuel kinds.
double FuelRate(uint8_t a, uint8_t b)
{
    int divisor = TTableKind::OutputDivisor;
    if (divisor == 0) return TTableKind::NoValue;
    return (a * 100 + b * 25600) / divisor;
}
}

double TFuelKind::LiveRate(uint8_t a, uint8_t b) const { return FuelRate(a, b); }

// Ignition-B
int TIgnitionBKind::Pack(int v) const { return TruncToInt(double(v) * 128 / 22.5 + 0.5 * Sgn(v) + 128); }
int TIgnitionBKind::Display(uint8_t b) const { return RoundHalfAway((b - 128) * 22.5 / 128, b > 128); }
int TIgnitionBKind::DisplayOf(int v) const { return RoundHalfAway(double(v) * 22.5 / 128, v > 0); }
double TIgnitionBKind::LiveByte(uint8_t, uint8_t b) const
{
    if (b == 128) return 0;
    return (b - 128) / 128.0 * 22.5 + 0.5 * Sgn(b - 128);
}

// Fuel-B
double TFuelBKind::LivePair(uint8_t, uint8_t b) const { return b - 128; }
double TFuelBKind::LiveRate(uint8_t a, uint8_t b) const { return FuelRate(a, b); }
