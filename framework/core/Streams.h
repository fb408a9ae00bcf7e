// Streams of bytes: in memory, on a file, and over a resource of the
// executable (bitmaps, form resources).
#pragma once

#include "Object.h"

#include <cstdint>
#include <string>
#include <vector>

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
    GANTREL_CLASS(TStream)

    // Bytes moved; fewer than asked at the end of the stream.
    virtual long Read(void* buffer, long count) = 0;
    virtual long Write(const void* buffer, long count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t position) { Seek(position, soBeginning); }
    int64_t Size();
    // All or an exception: EReadError when the stream ends first.
    void ReadBuffer(void* buffer, long count);
    void WriteBuffer(const void* buffer, long count);
    int64_t CopyFrom(TStream* source, int64_t count);  // 0: all of source
};

class TMemoryStream : public TStream {
    GANTREL_CLASS(TMemoryStream)

    long Read(void* buffer, long count) override;
    long Write(const void* buffer, long count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;

    void Clear();
    void SetSize(int64_t size);
    uint8_t* Memory() { return FData.data(); }
    const std::vector<uint8_t>& Bytes() const { return FData; }
    void LoadFromStream(TStream* stream);
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

protected:
    std::vector<uint8_t> FData;
    int64_t FPosition = 0;
};

enum TFileMode { fmOpenRead, fmOpenWrite, fmOpenReadWrite, fmCreate };

class TFileStream : public TStream {
    GANTREL_CLASS(TFileStream)

    // Raises EOSError when the file cannot be opened or created.
    TFileStream(const std::string& fileName, TFileMode mode);
    ~TFileStream() override;

    long Read(void* buffer, long count) override;
    long Write(const void* buffer, long count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;

private:
    HANDLE FHandle;
};

// The data of a resource of the executable, read-only.
class TResourceStream : public TMemoryStream {
    GANTREL_CLASS(TResourceStream)

    // Raises EReadError when there is no such resource.
    TResourceStream(HINSTANCE instance, const std::string& name, LPCSTR type);
    long Write(const void* buffer, long count) override;
};

bool ResourceExists(const std::string& name, LPCSTR type);
