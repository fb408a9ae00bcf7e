// Configuration per controller version and per map model.
//
// Two numbers drive everything: the controller version from identification
// and the map file's format word with its model code. The routines here
// decide the table sets, limits, divisors and calibration, and describe
// what the main window must change as plain data (TWindowChanges), which
// the window applies on its own thread.
#pragma once

#include "TableKind.h"
#include "TableSet.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

class TControllerLink;

struct TWindowChanges {
    std::map<std::string, bool> Visible;         // component name -> shown
    std::map<std::string, std::string> Caption;  // component name -> caption
    std::optional<bool> O2Controls;              // the O2 label, button and menu
    std::string StatusText;                      // empty: leave the status text
    std::string Logo;                            // bitmap resource for the logo image
    int PauseMs = 0;                             // the caller waits after applying

    bool Shown(const std::string& name) const
    {
        auto it = Visible.find(name);
        return it != Visible.end() && it->second;
    }
    bool Hidden(const std::string& name) const
    {
        auto it = Visible.find(name);
        return it != Visible.end() && !it->second;
    }
};

class TConfiguration {
public:
    static constexpr int MatrixRows = 15;
    static constexpr int MatrixColumns = 107;
    static constexpr int InfoHeaderLength = 16;
    // Live caption labels and their value labels, in live value order.
    static const char* const LiveLabels[6];
    static const char* const LiveValueLabels[6];

    explicit TConfiguration(TTableKinds& kinds);

    // Controller side, set at identification.
    int ControllerVersion = -1;
    uint8_t Flags = 0;
    bool ManifoldPressure = false;
    bool O2Option = false;
    bool CylinderTrims = false;
    int InfoByte0 = 0;
    int InfoByte2 = 0;
    int InfoByte3 = 0;  // the unit's map model
    int PeriodMultiplier = 1;
    int TableLength = 0;
    std::vector<uint8_t> TableBuffers[TTableSet::MaxEntries];
    TTableSet ControllerSet;

    // File side, set when a map is loaded or read.
    int FileModel = -1;
    int FileFormat = 0;
    int IgnitionRpmFloor = 0;
    TTableSet FileSet;

    uint8_t O2Value = 0;
    bool O2Pending = false;
    // The O2 value came from a map, the user or the controller. Only then
    // does identifying an O2 unit leave it pending: an upload must not
    // write a setting nobody chose over the unit's own.
    bool O2Known = false;
    // Read by the monitor thread while a map load on the user-interface
    // thread may set it.
    std::atomic<bool> O2Shown{false};

    uint8_t Compatibility[MatrixRows][MatrixColumns];

    // Settings and window state the decisions consult.
    bool TpSetting = true;            // Advanced/TPSet
    bool CylinderTrimSetting = true;  // Custom/CylinderTrim
    bool Advanced = false;            // the "Advanced" menu check mark
    int LanguageBase = 0;

    // 1 when the version is served, 0 otherwise (no controller, or a version
    // this tool does not know). Its port traffic runs on the calling thread.
    int ConfigureForController(TControllerLink& port, bool allowO2Pending, TWindowChanges& changes);
    // The code, or -1 for an unknown file type. o2Word is header word 6.
    int ConfigureForFile(int format, int code, int32_t o2Word, TWindowChanges& changes);
    // How many tables a map of this format and code holds, or -1 for a
    // type this tool does not know (what ConfigureForFile would decide,
    // without changing anything).
    static int FileTableCount(int format, int code);
    // Codes 1100..2999: the file model, or -1.
    int ConfigureByVersionRange(int format, int code, int32_t o2Word, TWindowChanges& changes);
    // 1 compatible, 0 compatible after the user agrees, -1 incompatible.
    int CheckCompatibility() const;
    int LastCompatibleVersion(int model) const;
    static int SetTpDefaultsForModel(int digit);
    void FreeTableBuffers();
    // Which transfer commands a loaded map offers, with or without advanced mode.
    void ShowAdvancedControls(bool advanced, TWindowChanges& changes) const;

private:
    TTableKinds& Kinds;
    int ModelCode = 0;  // low 20 bits of the loaded file's code

    void BuildCompatibilityMatrix();
    void SetControllerEntry(int e, TTableKind* kind, int wire, int live);
    void SetFileEntry(int e, TTableKind* kind, int max, int min, int wire, int live);
    void AllocateBuffers(int count);
    // The map's own O2 setting: shown and pending, or hidden.
    void ShowFileO2(bool show, int32_t o2Word, TWindowChanges& changes);
    std::string Text(int id) const;
};
