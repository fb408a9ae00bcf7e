// Table sets: which tables a map or a controller has, in display order,
// with the kind that converts each, its wire table number, the live value
// it feeds and the limits the editor keeps.
#pragma once

#include <cstdint>

class TTableKind;

struct TTableEntry {
    TTableKind* Kind = nullptr;  // not owned
    int32_t Max = 0;             // display units; unset until configured
    int32_t Min = 0;
    int32_t Ordinal = -1;
    int32_t WireTable = -1;      // 0..5 on the wire (plus the table position)
    int32_t LiveIndex = -1;      // which of the six live values it fills
    uint8_t* Data = nullptr;     // transfer buffer; owned by the transfer code
};

class TTableSet {
public:
    static constexpr int MaxEntries = 6;

    TTableEntry Entries[MaxEntries];
    int32_t Count = 0;    // 1..4 in use, 0 before configuration
    int32_t RpmStep = 0;  // 500 or 250

    TTableEntry& operator[](int i) { return Entries[i]; }
    const TTableEntry& operator[](int i) const { return Entries[i]; }
};
