// Map files ("*.map"): 32-bit little-endian words, no magic, no checksum.
//
//   header      13 words (TMapHeader)
//   columns     C words: throttle breakpoints, left to right
//   rows        R records of 1 + N x C words: the RPM breakpoint, then the
//               C cells of table 1, table 2, ... table N of that row
//   notes       L bytes of text, no terminating zero
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TMapHeader {
    int32_t Format = 0;       // 201 or 202 (203 is only previewed)
    int32_t TableCount = 0;   // N
    int32_t Rows = 0;         // R
    int32_t Columns = 0;      // C
    int32_t Const12 = 12;
    int32_t Const1 = 1;
    int32_t O2 = 0;           // the O2 byte, sign-extended
    int32_t TpFractions = 0;  // four bytes, least significant first, x 0.004
    int32_t Reserved8 = 0;
    int32_t Reserved9 = 0;
    int32_t ModelCode = 0;    // low 20 bits: model number; bit 20: O2 marker
    int32_t NotesLength = 0;  // L
    int32_t NotesOffset = 0;  // 4 x (13 + C + R x (1 + N x C))

    static constexpr int Words = 13;
    static constexpr int Bytes = Words * 4;

    void FromBytes(const uint8_t* bytes);
    void ToBytes(uint8_t* bytes) const;
};

// Bounds a map file must keep before anything is allocated for it.
namespace MapLimits {
constexpr int MaxTables = 6;
constexpr int MaxRows = 256;
constexpr int MaxColumns = 64;
constexpr long MaxFileBytes = 16L * 1024 * 1024;
}

// Byte length of header and tables: 4 x (13 + C + R x (1 + N x C)).
long long MapBodyBytes(long long tables, long long rows, long long columns);

// A whole map file read into memory and checked: the header's shape lies
// within MapLimits and the file holds every table word it announces (notes
// cut short by the end of the file are dropped; the tables still load).
// Nothing is ever read past the end of the file.
struct TMapImage {
    TMapHeader Header;
    std::vector<int32_t> Words;  // header and tables
    std::string Notes;           // the notes bytes the file holds, up to L
    bool NotesComplete = false;  // all L bytes were there
};

enum class TMapReadResult { Ok, CannotOpen, Malformed };

TMapReadResult ReadMapImage(const std::string& fileName, TMapImage& image);
// The same checks on bytes already in memory (the fuzzer drives this).
TMapReadResult ParseMapImage(const uint8_t* data, size_t size, TMapImage& image);

// Whether the file holds a sound map with at least this many tables; the
// loader asks before it reads anything, so that a map is never half-loaded.
bool CheckMapFile(const std::string& fileName, int tablesNeeded);

// Notes for the open dialog's preview: only from a file with formats
// 201..203, a non-zero notes length, and all L bytes present at the
// offset that word 12 gives. False shows no preview.
bool ReadMapPreview(const std::string& fileName, std::string& notes);

class TTableSet;

// Writes the file set's tables with the shared layout and the notes (up to
// their first zero byte). Header words 0, 2, 3, 7..10 come from the kept
// header; the others are set here. The file is written beside the target
// and moved over it only when every byte is on the disk, so a failed save
// (or a power cut) never destroys the old file. False when anything failed.
bool WriteMapFile(const std::string& fileName, TMapHeader& header, const TTableSet& fileSet,
                  int8_t o2, const std::string& notes);
