// Table kinds: how one kind of controller table is packed from the grid,
// shown in display units, named, and how its live bytes are converted.
//
// A controller table is 9 columns x 32 cells (288 bytes), one column per
// throttle breakpoint, one cell per fixed engine-speed step; cell 31 is the
// lowest speed, and byte 128 means "no change". The grid holds whole numbers
// in display units: column 0 the engine-speed breakpoints, row 0 the
// throttle breakpoints.
#pragma once

#include "CellText.h"
#include "MapFile.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// Shape and breakpoints of the loaded map, shared by every kind.
struct TMapLayout {
    int Format = 0;
    int Tables = 0;
    int Rows = 0;
    int Columns = 0;
    std::vector<int32_t> RowBreakpoints;     // engine speed, RPM
    std::vector<int32_t> ColumnBreakpoints;  // throttle, %
    bool Allocated = false;
};

class TTableKind {
public:
    static constexpr int TableColumns = 9;
    static constexpr int TableCells = 32;
    static constexpr int RpmConstant = 250000;
    static constexpr double NoValue = 537;  // marks a live value that cannot be computed

    // One copy for the program. The throttle calibration and divisors are
    // written by identification on the monitor thread and read by the window.
    static TMapLayout Layout;
    static std::atomic<uint8_t> TpClosedRaw;
    static std::atomic<uint8_t> TpOpenRaw;
    static std::atomic<int> RpmDivisor;
    static std::atomic<int> OutputDivisor;
    static int InstanceCount;

    TTableKind() : TTableKind(0, 0) {}
    virtual ~TTableKind();
    TTableKind(const TTableKind&) = delete;
    TTableKind& operator=(const TTableKind&) = delete;

    // k: 0 sending, 1 verifying, 2 retrieving, 3 retrieve failed,
    // 4 retrieved, 5 menu and tab caption, 6 table name, 7..10 spare.
    virtual std::string Text(int languageBase, int k) const;
    virtual int GridToBytes(uint8_t* table, const TCellText& grid, int rpmStep) const;
    virtual int BytesToGrid(const uint8_t* table, TCellText& grid, int rpmStep) const;
    virtual int DisplayOf(int v) const { (void)v; return 1; }
    // A controller byte as the grid shows it (what BytesToGrid writes).
    int ShownValue(uint8_t b) const { return Display(b); }
    virtual double LiveTp(uint8_t a) const { (void)a; return 1.0; }
    virtual double LivePair(uint8_t a, uint8_t b) const { (void)a; (void)b; return 1.0; }
    virtual double LiveByte(uint8_t a, uint8_t b) const { (void)a; (void)b; return 1.0; }
    virtual double LiveRate(uint8_t a, uint8_t b) const { (void)a; (void)b; return 1.0; }

    // A value in display units as this kind packs it into a controller byte
    // (before the low 8 bits are taken); 0 is 128, "no change".
    int PackValue(int v) const { return v == 0 ? 128 : Pack(v); }

    static double RpmFromPeriod(int period);
    // Throttle span in display units for the current calibration.
    static int TpScale();
    // Cell index of an engine-speed breakpoint; outside 0..31 lies beyond the table.
    static int CellIndex(int rpm, int rpmStep);
    static int TableSize() { return TableColumns * TableCells; }

    // Map files. ReadMapHeader returns the model code (word 10) or -1;
    // ReadMapFile returns 1 when this kind's table was read, 0 otherwise
    // (a file that cannot be opened or does not hold a sound map).
    int ReadMapHeader(const std::string& fileName, TMapHeader& header) const;
    int ReadMapFile(const std::string& fileName, TMapHeader& header, bool readNotes);
    // The same from a file already read and checked.
    int ReadMapTables(const TMapImage& image, TMapHeader& header, bool readNotes);
    void GetBreakpoints(int32_t* rows, int32_t* columns) const;

    // The table in display units, Layout.Rows x Layout.Columns.
    std::vector<int32_t> Cells;
    int Cell(int row, int col) const { return Cells[size_t(row) * Layout.Columns + col]; }
    void SetCell(int row, int col, int v) { Cells[size_t(row) * Layout.Columns + col] = v; }
    // 1-based position of this kind's table inside a map file's row records.
    int BlockNumber = 1;
    // The map's notes; only the kind of the file set's first entry holds them.
    std::string Notes;

protected:
    TTableKind(int firstTextId, int captionTextId);
    // Grid value -> controller byte (only v != 0 is asked), and back.
    virtual int Pack(int v) const { (void)v; return 128; }
    virtual int Display(uint8_t b) const { (void)b; return 0; }

private:
    int FirstTextId;
    int CaptionTextId;
};

class TAapKind : public TTableKind {
public:
    TAapKind() : TTableKind(300, 287) {}
    int DisplayOf(int v) const override;
    double LiveByte(uint8_t a, uint8_t b) const override;
protected:
    int Pack(int v) const override;
    int Display(uint8_t b) const override;
};

class TTpKind : public TTableKind {
public:
    TTpKind();
    int DisplayOf(int v) const override;
    double LiveTp(uint8_t a) const override;
    double LiveByte(uint8_t a, uint8_t b) const override;
protected:
    int Pack(int v) const override;
    int Display(uint8_t b) const override;
};

class TMpKind : public TTableKind {
public:
    TMpKind() : TTableKind(340, 289) {}
    int DisplayOf(int v) const override;
    double LiveByte(uint8_t a, uint8_t b) const override;
protected:
    int Pack(int v) const override;
    int Display(uint8_t b) const override;
};

class TIgnitionKind : public TTableKind {
public:
    TIgnitionKind() : TTableKind(360, 290) {}
    int DisplayOf(int v) const override;
    double LiveByte(uint8_t a, uint8_t b) const override;
protected:
    int Pack(int v) const override;
    int Display(uint8_t b) const override;
};

class TAtKind : public TTableKind {
public:
    TAtKind() : TTableKind(380, 291) {}
    int DisplayOf(int v) const override;
    double LiveByte(uint8_t a, uint8_t b) const override;
protected:
    int Pack(int v) const override;
    int Display(uint8_t b) const override;
};

class TFuelKind : public TTableKind {
public:
    TFuelKind() : TTableKind(400, 286) {}
    int DisplayOf(int v) const override;
    double LivePair(uint8_t a, uint8_t b) const override;
    double LiveRate(uint8_t a, uint8_t b) const override;
protected:
    int Pack(int v) const override;
    int Display(uint8_t b) const override;
};

// Ignition at twice the span of TIgnitionKind, one step per 22.5/128 degree.
class TIgnitionBKind : public TTableKind {
public:
    TIgnitionBKind() : TTableKind(360, 290) {}
    int DisplayOf(int v) const override;
    double LiveByte(uint8_t a, uint8_t b) const override;
protected:
    int Pack(int v) const override;
    int Display(uint8_t b) const override;
};

// Fuel stored one to one: byte = value + 128.
class TFuelBKind : public TTableKind {
public:
    TFuelBKind() : TTableKind(400, 286) {}
    int DisplayOf(int v) const override { return int(unsigned(v) - 128u); }
    double LivePair(uint8_t a, uint8_t b) const override;
    double LiveRate(uint8_t a, uint8_t b) const override;
protected:
    int Pack(int v) const override { return int(unsigned(v) + 128u); }
    int Display(uint8_t b) const override { return b - 128; }
};

// The twelve kind objects the main window keeps for its whole life,
// constructed in this order.
struct TTableKinds {
    TTpKind Tp;
    TAapKind Aap;
    TMpKind Mp;
    TIgnitionKind Ignition;
    TIgnitionBKind IgnitionB[3];
    TAtKind At;
    TFuelKind Fuel;
    TFuelBKind FuelB[3];
};
