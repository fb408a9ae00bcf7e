// The main window moving tables to and from the simulated controller on
// COM1: maps built for each controller generation, what arrived at the
// controller, what the window painted, and the position dialog answered
// with real clicks.
#pragma once

#include "MainWindowFixture.h"

#include <string>
#include <utility>
#include <vector>

// Table kinds by their formulas, computed here on their own so that the
// bytes the window sends can be checked against something it did not make.
enum class TRefKind { Aap, Tp, Mp, Ignition, At, Fuel, IgnitionB, FuelB };
// Grid value -> controller byte; s is the throttle span (TP only).
int RefPack(TRefKind kind, int v, int s = 25);
// Controller byte -> grid value.
int RefDisplay(TRefKind kind, int b, int s = 25);

// One controller generation and the map that matches it.
struct TGeneration {
    int Version;
    int Format;
    int Code;
    std::vector<TRefKind> Kinds;  // the file's tables in order
    std::vector<int> Wires;       // the controller's wire table numbers for them
    int Step;                     // RPM per controller cell
    int IgnitionFloor;            // Ignition kind rows below stay 0
    int TpSpan;                   // throttle span of the unit's calibration
};
std::vector<TGeneration> Generations();
std::string GenerationName(const TGeneration& g);

// A map whose rows sit on successive controller cells (cell 31 - r for row
// r), throttle breakpoints 10..90, and small values that every rule of the
// grid leaves as they are.
struct TTestMap {
    TGeneration Unit;
    int Rows = 12;
    int O2Word = 0;  // header word 6
    std::vector<int> Rpm() const;
    std::vector<int> Throttle() const { return {10, 20, 30, 40, 50, 60, 70, 80, 90}; }
    // Value of table t, row r, column c (c from 0).
    int Value(int t, int r, int c, int seed = 0) const;
    std::string Bytes(int seed = 0) const;
    // What the unit's table t holds after an upload of the map.
    std::vector<uint8_t> Packed(int t, int seed = 0) const;
};

// A map file as saved: its tables' cells, [table][row][column].
struct TSavedMap {
    int Format = 0, Code = 0, O2 = 0;
    std::vector<int> Rpm;
    std::vector<std::vector<std::vector<int>>> Cells;
};
bool ReadSavedMap(const std::string& path, TSavedMap& map);

class TransferTest : public MainWindowTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The unit on COM1, reset to its power-on contents; paced or not.
    void Unit(int version, int flags = 0xE1, bool paced = false);
    // The map loaded through the Load command.
    bool LoadMap(const std::string& bytes);
    // Loads the map and connects to its unit.
    bool Prepare(const TTestMap& map, int flags = 0xE1, int seed = 0);
    bool Prepare(const TGeneration& unit, int flags = 0xE1) { return Prepare(TTestMap{unit}, flags); }
    // A button clicked as the mouse does.
    void Click(TButton* button);
    // A click on the O2 label under the commands.
    void ClickO2Label();

    // Completed writes since the last clear, in order: command byte and payload.
    std::vector<std::pair<int, std::string>> Writes();
    std::string SimTable(int n);
    std::string SimBlock(int n);
    void SetSimTable(int n, const std::vector<uint8_t>& bytes);
    void SetSimBlock(int n, const std::vector<uint8_t>& bytes);

    // The position dialog is answered (when it comes) by a click on radio
    // button `position` (1..3) and then on OK, or on Cancel.
    void AnswerPosition(int position, bool ok = true);
    int PositionDialogs = 0;
    std::vector<std::string> PositionCaptions;
    // The O2 dialog is answered by a click on radio item `index` and OK or Cancel.
    void AnswerO2(int index, bool ok = true);
    int O2Dialogs = 0;

    // Status texts the window painted, in order (repeats dropped).
    std::vector<std::string> Painted;
    bool WasPainted(const std::string& text) const;
    void StartPaintLog();
    void StopPaintLog();

private:
    static void CALLBACK AnswerTick(HWND, UINT, UINT_PTR, DWORD);
    static LRESULT CALLBACK PaintHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK QueueHook(int code, WPARAM wParam, LPARAM lParam);
    void NotePaint(HWND window, UINT message);
    UINT_PTR AnswerTimer = 0;
    int AnswerKind = 0;  // 1 position, 2 O2
    int AnswerIndex = 0;
    bool AnswerOk = true;
    bool Answering = false;  // clicks on their way to the dialog shown now
    HHOOK PaintHookHandle = nullptr;
    HHOOK QueueHookHandle = nullptr;
    static TransferTest* Current;
};
