#include "Configuration.h"

#include "ControllerLink.h"
#include "SysUtils.h"

#include <cstring>

const char* const TConfiguration::LiveLabels[6] = {"Label", "TPos", "FuelCh", "TPOut", "ManChg", "ignAdv"};
const char* const TConfiguration::LiveValueLabels[6] = {"RpmVal",     "TPosVal",   "FuelChVal",
                                                       "TPosOutVal", "ManChgVal", "IgnVal"};

namespace {

enum LiveSlot { Speed, Throttle, FuelCh, TpOut, ManChg, IgnAdv };

// Interface texts of the live captions.
enum {
    TxtRpm = 111, TxtThrottle = 112, TxtAapChg = 113, TxtTpOut = 114, TxtMpChg = 115,
    TxtIgnAdv = 116, TxtAtChg = 117, TxtO2Chg = 118, TxtFuelChg = 119, TxtDutyCycle = 120,
    TxtTableNum = 121,
};

bool IsDUnit(int version) { return version >= 49 && version <= 54; }
bool IsNewUnit(int version) { return version >= 100 && version <= 148; }

// One row of the compatibility matrix: columns 49..54, then 100..106;
// '1' compatible, '0' ask, '-' incompatible.
struct MatrixRow {
    const char* Units49To54;
    const char* Units100To106;
};

const MatrixRow MatrixRows[TConfiguration::MatrixRows] = {
    {"1-----", "-------"},  // 0
    {"-10000", "-------"},  // 1
    {"-01000", "-------"},  // 2
    {"-00100", "-------"},  // 3
    {"------", "1------"},  // 4
    {"------", "-1-----"},  // 5
    {"------", "--1----"},  // 6
    {"------", "---1---"},  // 7
    {"-00010", "-------"},  // 8
    {"-00001", "-------"},  // 9
    {"------", "----1--"},  // 10
    {"------", "-----1-"},  // 11
    {"------", "-----1-"},  // 12
    {"------", "------1"},  // 13
    {"------", "------1"},  // 14
};

uint8_t MatrixEntry(char c) { return c == '1' ? 1 : c == '0' ? 0 : 255; }

}  // namespace

TConfiguration::TConfiguration(TTableKinds& kinds) : Kinds(kinds)
{
    BuildCompatibilityMatrix();
}

void TConfiguration::BuildCompatibilityMatrix()
{
    std::memset(Compatibility, 255, sizeof Compatibility);
    for (int m = 0; m < MatrixRows; ++m) {
        for (int i = 0; i < 6; ++i) Compatibility[m][49 + i] = MatrixEntry(::MatrixRows[m].Units49To54[i]);
        for (int i = 0; i < 7; ++i) Compatibility[m][100 + i] = MatrixEntry(::MatrixRows[m].Units100To106[i]);
    }
}

std::string TConfiguration::Text(int id) const { return LoadStr(LanguageBase + id); }

void TConfiguration::SetControllerEntry(int e, TTableKind* kind, int wire, int live)
{
    TTableEntry& entry = ControllerSet[e];
    entry.Kind = kind;
    entry.Ordinal = e;
    entry.WireTable = wire;
    entry.LiveIndex = live;
}

void TConfiguration::SetFileEntry(int e, TTableKind* kind, int max, int min, int wire, int live)
{
    TTableEntry& entry = FileSet[e];
    entry.Kind = kind;
    entry.Max = max;
    entry.Min = min;
    entry.Ordinal = e;
    entry.WireTable = wire;
    entry.LiveIndex = live;
    kind->BlockNumber = e + 1;
}

void TConfiguration::FreeTableBuffers()
{
    for (int i = 0; i < TTableSet::MaxEntries; ++i) {
        TableBuffers[i].clear();
        TableBuffers[i].shrink_to_fit();
        ControllerSet[i].Data = nullptr;
    }
}

void TConfiguration::AllocateBuffers(int count)
{
    for (int i = 0; i < count; ++i) {
        TableBuffers[i].assign(size_t(TableLength), 0);
        ControllerSet[i].Data = TableBuffers[i].data();
    }
}

int TConfiguration::SetTpDefaultsForModel(int digit)
{
    struct Range { uint8_t Open, Closed; };
    Range range;
    switch (digit) {
    case '1': range = {246, 26}; break;
    case '2': range = {213, 56}; break;
    case '3': range = {216, 58}; break;
    case '4':
    case '5': range = {229, 26}; break;
    case '6': range = {219, 60}; break;
    default: return 1;
    }
    TTableKind::TpOpenRaw = range.Open;
    TTableKind::TpClosedRaw = range.Closed;
    return 1;
}

int TConfiguration::ConfigureForController(TControllerLink& port, bool allowO2Pending, TWindowChanges& changes)
{
    uint8_t flags = 0;
    const int version = port.GetVersion(flags);
    if (version < 0) return 0;

    changes.Visible["SetCurrentMap2"] = false;
    changes.Visible["SetFuelTrimValues1"] = false;
    Flags = flags;
    ManifoldPressure = (flags & 0x80) != 0;
    O2Option = (flags & 0x40) != 0;
    CylinderTrims = (flags & 0x20) != 0 && CylinderTrimSetting;

    auto caption = [&](int slot, const std::string& text) { changes.Caption[LiveLabels[slot]] = text; };
    auto show = [&](int slot, bool shown) {
        changes.Visible[LiveLabels[slot]] = shown;
        changes.Visible[LiveValueLabels[slot]] = shown;
    };
    auto o2Off = [&]() {
        changes.O2Controls = false;
        O2Shown = false;
    };
    // The O2 option shows its live value in place of the manifold pressure.
    auto o2AsVersion1 = [&]() {
        if (O2Option) {
            caption(ManChg, Text(TxtO2Chg));
            show(ManChg, true);
            changes.O2Controls = true;
            O2Shown = true;
            O2Pending = allowO2Pending && O2Known;
        } else {
            show(ManChg, false);
            o2Off();
        }
    };

    if (version == 0 || version == 1 || version == 2) {
        uint8_t header[InfoHeaderLength] = {};
        char text[256];
        if (port.ReadInfo(header, InfoHeaderLength, text)) {
            InfoByte0 = header[0];
            InfoByte2 = header[2];
            InfoByte3 = header[3];
            PeriodMultiplier = header[4];
        }
        FreeTableBuffers();
        TableLength = TTableKind::TableSize();
        AllocateBuffers(2);
        TTableKind::RpmDivisor = 1;
        TTableKind::OutputDivisor = 2;
        for (int slot = Speed; slot <= IgnAdv; ++slot) show(slot, true);
        caption(Speed, Text(TxtRpm));
        caption(Throttle, Text(TxtThrottle));
        changes.Visible["SetTP1"] = TpSetting;

        if (version == 0) {
            SetControllerEntry(0, &Kinds.FuelB[0], 0, 2);
            SetControllerEntry(1, &Kinds.FuelB[1], 1, 3);
            SetControllerEntry(2, &Kinds.IgnitionB[0], 2, 4);
            SetControllerEntry(3, &Kinds.Tp, 3, 5);
            ControllerSet.Count = ManifoldPressure ? 3 : 2;
            caption(FuelCh, "FuelChg1");
            caption(TpOut, "FuelChg2");
            caption(ManChg, Text(TxtDutyCycle));
            caption(IgnAdv, Text(TxtIgnAdv));
            show(IgnAdv, ManifoldPressure);
            o2Off();
        } else if (version == 1) {
            SetControllerEntry(0, InfoByte3 < 106 ? static_cast<TTableKind*>(&Kinds.Fuel) : &Kinds.FuelB[0], 0, 2);
            SetControllerEntry(1, &Kinds.IgnitionB[0], 1, 5);
            SetControllerEntry(2, &Kinds.Tp, 2, 4);
            SetControllerEntry(3, &Kinds.Tp, 3, 5);
            ControllerSet.Count = ManifoldPressure ? 2 : 1;
            caption(FuelCh, Text(TxtFuelChg));
            caption(TpOut, Text(TxtDutyCycle));
            caption(IgnAdv, Text(TxtIgnAdv));
            show(IgnAdv, ManifoldPressure);
            changes.Visible["HardwareInfo1"] = true;
            changes.Visible["SetFuelTrimValues1"] = CylinderTrims;
            o2AsVersion1();
        } else {
            SetControllerEntry(0, &Kinds.FuelB[0], 0, 2);
            SetControllerEntry(1, &Kinds.IgnitionB[0], 3, 4);
            SetControllerEntry(2, &Kinds.Tp, 2, 4);
            SetControllerEntry(3, &Kinds.Tp, 3, 5);
            ControllerSet.Count = ManifoldPressure ? 2 : 1;
            caption(FuelCh, Text(TxtFuelChg));
            caption(TpOut, Text(TxtDutyCycle));
            caption(ManChg, Text(TxtIgnAdv));
            caption(IgnAdv, Text(TxtTableNum));
            show(ManChg, ManifoldPressure);
            changes.Visible["HardwareInfo1"] = true;
            changes.Visible["SetCurrentMap2"] = true;
            o2Off();
        }
    } else if (IsDUnit(version)) {
        SetTpDefaultsForModel(version);
        FreeTableBuffers();
        TableLength = TTableKind::TableSize();
        AllocateBuffers(4);
        SetControllerEntry(0, &Kinds.Aap, 1, 2);
        SetControllerEntry(1, &Kinds.Tp, 0, 3);
        if (version == '1')
            SetControllerEntry(2, &Kinds.At, 3, 4);
        else
            SetControllerEntry(2, &Kinds.Mp, 2, 4);
        SetControllerEntry(3, &Kinds.Ignition, version == '1' ? 2 : 3, 5);
        ControllerSet.Count = 4;
        TTableKind::RpmDivisor = version == '1' ? 2 : 1;
        TTableKind::OutputDivisor = 1;
        for (int slot = Speed; slot <= IgnAdv; ++slot) show(slot, true);
        caption(Speed, Text(TxtRpm));
        caption(Throttle, Text(TxtThrottle));
        caption(FuelCh, Text(TxtAapChg));
        caption(TpOut, Text(TxtTpOut));
        caption(ManChg, Text(version == '1' ? TxtAtChg : TxtMpChg));
        caption(IgnAdv, Text(TxtIgnAdv));
        changes.Visible["SetTP1"] = false;
        o2Off();
    } else if (IsNewUnit(version)) {
        FreeTableBuffers();
        TableLength = TTableKind::TableSize();
        if ((version == 104 || version == 105) && (flags & 0x3F) == 1) {
            std::vector<uint8_t> zeros(size_t(TableLength), 0);
            port.WriteTable(2, zeros.data(), TableLength);
        }
        uint8_t block[224];
        if (port.ReadBlock(0, block, sizeof block)) {
            TTableKind::TpOpenRaw = block[8];
            TTableKind::TpClosedRaw = block[0];
        }
        AllocateBuffers(2);
        SetControllerEntry(0, &Kinds.Fuel, 0, 2);
        SetControllerEntry(1, &Kinds.IgnitionB[0], 1, 5);
        SetControllerEntry(2, &Kinds.Tp, 2, 4);
        SetControllerEntry(3, &Kinds.Tp, 3, 5);
        ControllerSet.Count = ManifoldPressure ? 2 : 1;
        TTableKind::RpmDivisor = 1;
        TTableKind::OutputDivisor = (version == 100 || version == 103) ? 1 : 2;
        for (int slot = Speed; slot <= IgnAdv; ++slot) show(slot, true);
        caption(Speed, Text(TxtRpm));
        caption(Throttle, Text(TxtThrottle));
        caption(FuelCh, Text(TxtFuelChg));
        caption(TpOut, Text(TxtDutyCycle));
        caption(IgnAdv, Text(TxtIgnAdv));
        show(IgnAdv, ManifoldPressure);
        changes.Visible["SetTP1"] = TpSetting;
        o2AsVersion1();
    } else {
        changes.StatusText = Text(236) + " (" + std::to_string(version) + ")";
        changes.PauseMs = 1250;
        return 0;
    }

    ControllerVersion = version;
    changes.Logo = version == 2 ? "RNLogo" : "Logo";
    return 1;
}

namespace {

// Transfer commands a map layout offers; see ConfigureForFile.
const char* const AllTableCommands[] = {"Upload1", "GetMap1", "Button9", "Button10"};
const char* const SingleTableCommands[] = {"UploadCurrent1", "GetCurrent1", "Button7", "Button8"};

// File O2 values above 13 are not settings at all; nor is a negative one,
// which would reach the controller as 255.
uint8_t FileO2(int32_t word) { return uint32_t(word) > 13 ? 0 : uint8_t(word); }

}  // namespace

void TConfiguration::ShowFileO2(bool show, int32_t o2Word, TWindowChanges& changes)
{
    changes.O2Controls = show;
    O2Shown = show;
    O2Pending = show;
    O2Known = show;
    if (show) O2Value = FileO2(o2Word);
}

int TConfiguration::ConfigureForFile(int format, int code, int32_t o2Word, TWindowChanges& changes)
{
    FileFormat = format;
    ModelCode = code & 0xFFFFF;

    auto unknown = [&]() {
        FileModel = -1;
        IgnitionRpmFloor = 0;
        FileSet.RpmStep = 250;
        changes.StatusText = Text(238);
        return -1;
    };

    if (format == 201 && code >= 1000 && code <= 1014) {
        const int model = code - 1000;
        FileModel = model;
        if (model == 0 || model == 1 || model == 2 || model == 3 || model == 8 || model == 9) {
            const bool highAap = model == 3 || model == 8;
            SetFileEntry(0, &Kinds.Aap, highAap ? 9 : 35, -35, 1, 0);
            TTableEntry& tp = FileSet[1];
            tp.Kind = &Kinds.Tp;
            tp.Ordinal = 1;
            tp.WireTable = 0;
            tp.LiveIndex = 1;
            Kinds.Tp.BlockNumber = 2;
            if (model == 0)
                SetFileEntry(2, &Kinds.At, 40, -40, 3, 2);
            else
                SetFileEntry(2, &Kinds.Mp, 125, -125, 2, 2);
            SetFileEntry(3, &Kinds.Ignition, model == 8 ? 4 : 11, -11, model == 0 ? 2 : 3, 3);
            FileSet.Count = 4;
            FileSet.RpmStep = model == 0 ? 250 : 500;
            IgnitionRpmFloor = model == 0 ? 1000 : model == 1 || model == 2 ? 4000 : model == 9 ? 2500 : 2000;

            for (const char* name : AllTableCommands) changes.Visible[name] = true;
            changes.Visible["Button1"] = true;
            changes.Visible["Button5"] = true;
            changes.Caption["Button7"] = Text(97);
            changes.Caption["Button8"] = Text(98);
            for (const char* name : SingleTableCommands) changes.Visible[name] = Advanced;
            changes.Visible["Button3"] = Advanced;
        } else {
            SetFileEntry(0, &Kinds.Fuel, 45, -45, 0, 0);
            SetFileEntry(1, &Kinds.IgnitionB[0], 22, -22, 1, 2);
            SetFileEntry(2, &Kinds.Mp, 125, -125, 2, 2);
            SetFileEntry(3, &Kinds.Ignition, 11, -11, 3, 3);
            FileSet.Count = 1;
            FileSet.RpmStep = 500;
            IgnitionRpmFloor = 499;
            for (const char* name : AllTableCommands) changes.Visible[name] = false;
            for (const char* name : SingleTableCommands) changes.Visible[name] = true;
            changes.Caption["Button7"] = Text(128);
            changes.Caption["Button8"] = Text(127);
            changes.Visible["Button3"] = Advanced;
        }
        ShowFileO2(model == 5, o2Word, changes);
        return code;
    }

    if (ConfigureByVersionRange(format, code, o2Word, changes) < 0) return unknown();
    return code;
}

int TConfiguration::FileTableCount(int format, int code)
{
    const int number = code & 0xFFFFF;
    if (format == 201 && code >= 1000 && code <= 1014) {
        int model = code - 1000;
        return model <= 3 || model == 8 || model == 9 ? 4 : 1;
    }
    if (format == 201 && number >= 1100 && number <= 1999) return 1;
    if (format == 201 && number >= 2100 && number <= 2999) return 2;
    if (format == 202 && code >= 1100 && code <= 1999) return 2;
    return -1;
}

int TConfiguration::ConfigureByVersionRange(int format, int code, int32_t o2Word, TWindowChanges& changes)
{
    const int number = code & 0xFFFFF;
    const bool o2Marker = (code & 0x100000) != 0;
    bool twoTables;
    bool allTables;
    int model;
    if (format == 201 && number >= 1100 && number <= 1999) {
        model = number - 1000;
        twoTables = false;
        allTables = false;
    } else if (format == 201 && number >= 2100 && number <= 2999) {
        model = number - 2000;
        twoTables = true;
        allTables = true;
    } else if (format == 202 && code >= 1100 && code <= 1999) {
        model = code - 1000;
        twoTables = true;
        allTables = true;
    } else {
        return -1;
    }

    FileModel = model;
    const bool fuelB = format == 202 || number % 1000 >= 106;
    if (fuelB)
        SetFileEntry(0, &Kinds.FuelB[0], 100, -100, 0, 0);
    else
        SetFileEntry(0, &Kinds.Fuel, 45, -45, 0, 0);
    if (format == 202) {
        SetFileEntry(1, &Kinds.FuelB[1], 100, -100, 1, 2);
    } else {
        // Model 108 of the one-table codes has the narrower ignition range.
        const int ign = model == 108 && number < 2000 ? 11 : 22;
        SetFileEntry(1, &Kinds.IgnitionB[0], ign, -ign, 1, 2);
    }
    SetFileEntry(2, &Kinds.Mp, 125, -125, 2, 2);
    SetFileEntry(3, &Kinds.Ignition, 11, -11, 3, 3);
    FileSet.Count = twoTables ? 2 : 1;
    FileSet.RpmStep = 500;
    IgnitionRpmFloor = 499;

    for (const char* name : AllTableCommands) changes.Visible[name] = allTables;
    for (const char* name : SingleTableCommands) changes.Visible[name] = true;
    changes.Caption["Button7"] = Text(128);
    changes.Caption["Button8"] = Text(127);
    changes.Visible["Button3"] = Advanced;

    ShowFileO2(format == 201 && o2Marker, o2Word, changes);
    return model;
}

int TConfiguration::CheckCompatibility() const
{
    const int v = ControllerVersion, m = FileModel;
    if (m == -1 || v == -1) return -1;
    if ((v == 2 || v == 1) && InfoByte3 == m && FileFormat == 201) return 1;
    if (v == 0 && InfoByte3 == m && FileFormat == 202) return 1;
    if (v > 99 && v == m) return 1;
    if (m >= 0 && m < MatrixRows && v >= 49 && v <= 106) {
        uint8_t e = Compatibility[m][v];
        return e == 1 ? 1 : e == 0 ? 0 : -1;
    }
    return -1;
}

int TConfiguration::LastCompatibleVersion(int model) const
{
    if (model >= 0 && (model & 0xFF) >= 100) return model;
    // Models without a matrix row have no compatible controller.
    if (model < 0 || model >= MatrixRows) return 0;
    int last = 0;
    for (int v = 49; v <= 54; ++v)
        if (Compatibility[model][v] == 1) last = v;
    for (int v = 100; v <= 106; ++v)
        if (Compatibility[model][v] == 1) last = v;
    return last;
}

void TConfiguration::ShowAdvancedControls(bool advanced, TWindowChanges& changes) const
{
    bool allTables;
    if (FileModel >= 100 && (FileFormat == 201 || FileFormat == 203)) {
        allTables = !(ModelCode >= 1100 && ModelCode <= 1999);
    } else {
        switch (FileModel) {
        case 0: case 1: case 2: case 3: case 8: case 9: case 12: allTables = true; break;
        case 4: case 5: case 6: case 7: case 10: case 11: case 13: case 14: allTables = false; break;
        default: return;
        }
    }
    for (const char* name : AllTableCommands) changes.Visible[name] = allTables;
    for (const char* name : SingleTableCommands) changes.Visible[name] = allTables ? advanced : true;
    changes.Visible["Compare1"] = allTables ? advanced : true;
    changes.Visible["Button3"] = advanced;
}
