#include "MapFile.h"

#include "TableKind.h"
#include "TableSet.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

int32_t GetWord(const uint8_t* p)
{
    return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

void PutWord(uint8_t* p, int32_t v)
{
    uint32_t u = uint32_t(v);
    p[0] = uint8_t(u);
    p[1] = uint8_t(u >> 8);
    p[2] = uint8_t(u >> 16);
    p[3] = uint8_t(u >> 24);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Length of an open file, or -1 when it cannot be told.
long FileLength(std::FILE* f)
{
    if (std::fseek(f, 0, SEEK_END) != 0) return -1;
    long length = std::ftell(f);
    if (std::fseek(f, 0, SEEK_SET) != 0) return -1;
    return length;
}

}  // namespace

void TMapHeader::FromBytes(const uint8_t* b)
{
    int32_t* words[Words] = {&Format, &TableCount, &Rows, &Columns, &Const12, &Const1, &O2,
                             &TpFractions, &Reserved8, &Reserved9, &ModelCode, &NotesLength,
                             &NotesOffset};
    for (int i = 0; i < Words; ++i) *words[i] = GetWord(b + 4 * i);
}

void TMapHeader::ToBytes(uint8_t* b) const
{
    const int32_t words[Words] = {Format, TableCount, Rows, Columns, Const12, Const1, O2,
                                  TpFractions, Reserved8, Reserved9, ModelCode, NotesLength,
                                  NotesOffset};
    for (int i = 0; i < Words; ++i) PutWord(b + 4 * i, words[i]);
}

long long MapBodyBytes(long long tables, long long rows, long long columns)
{
    return 4 * (TMapHeader::Words + columns + rows * (1 + tables * columns));
}

TMapReadResult ParseMapImage(const uint8_t* data, size_t size, TMapImage& image)
{
    if (size < size_t(TMapHeader::Bytes)) return TMapReadResult::Malformed;
    TMapHeader h;
    h.FromBytes(data);
    if (h.TableCount < 1 || h.TableCount > MapLimits::MaxTables) return TMapReadResult::Malformed;
    if (h.Rows < 1 || h.Rows > MapLimits::MaxRows) return TMapReadResult::Malformed;
    if (h.Columns < 1 || h.Columns > MapLimits::MaxColumns) return TMapReadResult::Malformed;
    if (h.NotesLength < 0) return TMapReadResult::Malformed;
    long long body = MapBodyBytes(h.TableCount, h.Rows, h.Columns);
    if (body > static_cast<long long>(size)) return TMapReadResult::Malformed;

    image.Header = h;
    image.Words.resize(size_t(body / 4));
    for (size_t i = 0; i < image.Words.size(); ++i) image.Words[i] = GetWord(data + 4 * i);
    const long long available = std::min<long long>(h.NotesLength, static_cast<long long>(size) - body);
    image.Notes.assign(reinterpret_cast<const char*>(data) + body, size_t(available));
    image.NotesComplete = available == h.NotesLength;
    return TMapReadResult::Ok;
}

TMapReadResult ReadMapImage(const std::string& fileName, TMapImage& image)
{
    FilePtr f(std::fopen(fileName.c_str(), "rb"));
    if (!f) return TMapReadResult::CannotOpen;
    long length = FileLength(f.get());
    if (length < 0 || length > MapLimits::MaxFileBytes) return TMapReadResult::Malformed;
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    if (length > 0 && std::fread(bytes.data(), 1, bytes.size(), f.get()) != bytes.size())
        return TMapReadResult::Malformed;
    return ParseMapImage(bytes.data(), bytes.size(), image);
}

bool CheckMapFile(const std::string& fileName, int tablesNeeded)
{
    TMapImage image;
    return ReadMapImage(fileName, image) == TMapReadResult::Ok && tablesNeeded <= image.Header.TableCount;
}

bool ReadMapPreview(const std::string& fileName, std::string& notes)
{
    notes.clear();
    FilePtr f(std::fopen(fileName.c_str(), "rb"));
    if (!f) return false;
    long length = FileLength(f.get());
    uint8_t raw[TMapHeader::Bytes];
    if (length < 0 || std::fread(raw, 1, sizeof raw, f.get()) != sizeof raw) return false;
    TMapHeader h;
    h.FromBytes(raw);
    if (h.NotesLength == 0 || h.Format <= 200 || h.Format > 203) return false;
    // The notes must lie wholly inside the file.
    long long offset = h.NotesOffset, count = h.NotesLength;
    if (offset < 0 || count < 0 || offset + count > length) return false;
    if (std::fseek(f.get(), long(offset), SEEK_SET) != 0) return false;
    std::string text(size_t(count), '\0');
    if (std::fread(&text[0], 1, text.size(), f.get()) != text.size()) return false;
    // Shown as a zero-terminated text, as it would be in the preview's memo.
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    notes = text;
    return true;
}

int TTableKind::ReadMapHeader(const std::string& fileName, TMapHeader& header) const
{
    FilePtr f(std::fopen(fileName.c_str(), "rb"));
    if (!f) return -1;
    uint8_t raw[TMapHeader::Bytes];
    if (std::fread(raw, 1, sizeof raw, f.get()) != sizeof raw) {
        header = TMapHeader();
        return -1;
    }
    header.FromBytes(raw);
    return header.ModelCode;
}

int TTableKind::ReadMapFile(const std::string& fileName, TMapHeader& header, bool readNotes)
{
    TMapImage image;
    if (ReadMapImage(fileName, image) != TMapReadResult::Ok) return 0;
    return ReadMapTables(image, header, readNotes);
}

int TTableKind::ReadMapTables(const TMapImage& image, TMapHeader& header, bool readNotes)
{
    const TMapHeader& h = image.Header;
    // A file set asking for more tables than the file holds is refused
    // rather than read from beyond the rows.
    if (BlockNumber < 1 || BlockNumber > h.TableCount) return 0;

    header = h;
    if (h.Rows != Layout.Rows || h.Columns != Layout.Columns) {
        Layout.RowBreakpoints.clear();
        Layout.ColumnBreakpoints.clear();
        Layout.Allocated = false;
    }
    Layout.Format = h.Format;
    Layout.Tables = h.TableCount;
    Layout.Rows = h.Rows;
    Layout.Columns = h.Columns;
    if (!Layout.Allocated) {
        Layout.RowBreakpoints.assign(size_t(h.Rows), 0);
        Layout.ColumnBreakpoints.assign(size_t(h.Columns), 0);
        Layout.Allocated = true;
    }
    Cells.assign(size_t(h.Rows) * h.Columns, 0);

    const int32_t* w = image.Words.data() + TMapHeader::Words;
    for (int c = 0; c < h.Columns; ++c) Layout.ColumnBreakpoints[c] = *w++;
    const int first = (BlockNumber - 1) * h.Columns;
    for (int r = 0; r < h.Rows; ++r) {
        Layout.RowBreakpoints[r] = *w++;
        for (int c = 0; c < h.Columns; ++c) SetCell(r, c, w[first + c]);
        w += h.TableCount * h.Columns;
    }

    if (readNotes) {
        // A note holding a zero byte before its stated length, or cut short
        // by the end of the file, is dropped; a file without notes must not
        // keep the previous file's notes.
        const std::string& text = image.Notes;
        Notes = image.NotesComplete && text.find('\0') == std::string::npos ? text : std::string();
    }
    return 1;
}

void TTableKind::GetBreakpoints(int32_t* rows, int32_t* columns) const
{
    // The arrays may be gone (a kind was destroyed) while the shape is kept.
    for (size_t r = 0; r < Layout.RowBreakpoints.size() && int(r) < Layout.Rows; ++r) rows[r] = Layout.RowBreakpoints[r];
    for (size_t c = 0; c < Layout.ColumnBreakpoints.size() && int(c) < Layout.Columns; ++c)
        columns[c] = Layout.ColumnBreakpoints[c];
}

namespace {

// Out of the system's cache onto the disk before the replace: the replace
// may otherwise reach the disk before the bytes do, and a power cut then
// leaves an empty file where the map was.
bool FlushToDisk(std::FILE* f)
{
    if (std::fflush(f) != 0) return false;
#ifdef _WIN32
    return _commit(_fileno(f)) == 0;
#else
    return fsync(fileno(f)) == 0;
#endif
}

bool ReplaceFile(const std::string& from, const std::string& to)
{
#ifdef _WIN32
    // A write-protected map stays as it is, whoever runs the program.
    DWORD attributes = GetFileAttributesA(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

}  // namespace

bool WriteMapFile(const std::string& fileName, TMapHeader& header, const TTableSet& fileSet,
                  int8_t o2, const std::string& notes)
{
    const TMapLayout& layout = TTableKind::Layout;
    const int n = fileSet.Count, rows = layout.Rows, columns = layout.Columns;
    if (n < 1 || n > MapLimits::MaxTables || rows < 1 || columns < 1) return false;
    if (int(layout.RowBreakpoints.size()) != rows || int(layout.ColumnBreakpoints.size()) != columns)
        return false;
    // The kept header describes the same shape, or the file would contradict itself.
    if (header.Rows != rows || header.Columns != columns) return false;
    for (int k = 0; k < n; ++k) {
        const TTableKind* kind = fileSet[k].Kind;
        if (!kind || kind->Cells.size() != size_t(rows) * columns) return false;
    }

    const std::string text = notes.substr(0, notes.find('\0'));
    header.TableCount = n;
    header.Const12 = 12;
    header.Const1 = 1;
    header.O2 = o2;
    header.NotesLength = int32_t(text.size());
    header.NotesOffset = int32_t(MapBodyBytes(n, rows, columns));

    std::vector<uint8_t> buffer(size_t(header.NotesOffset) + text.size());
    header.ToBytes(buffer.data());
    uint8_t* p = buffer.data() + TMapHeader::Bytes;
    auto put = [&p](int32_t v) {
        PutWord(p, v);
        p += 4;
    };
    for (int c = 0; c < columns; ++c) put(layout.ColumnBreakpoints[c]);
    for (int r = 0; r < rows; ++r) {
        put(layout.RowBreakpoints[r]);
        for (int k = 0; k < n; ++k)
            for (int c = 0; c < columns; ++c) put(fileSet[k].Kind->Cell(r, c));
    }
    std::copy(text.begin(), text.end(), p);

    const std::string temporary = fileName + ".saving";
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f) return false;
    bool written = std::fwrite(buffer.data(), 1, buffer.size(), f) == buffer.size();
    written = written && FlushToDisk(f);
    written = std::fclose(f) == 0 && written;
    if (!written || !ReplaceFile(temporary, fileName)) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
