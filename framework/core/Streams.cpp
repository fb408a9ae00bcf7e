#include "Streams.h"

#include <algorithm>
#include <cstring>

int64_t TStream::Size()
{
    int64_t position = Seek(0, soCurrent);
    int64_t size = Seek(0, soEnd);
    Seek(position, soBeginning);
    return size;
}

void TStream::ReadBuffer(void* buffer, long count)
{
    if (count > 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, long count)
{
    if (count > 0 && Write(buffer, count) != count) throw EReadError("Stream write error");
}

int64_t TStream::CopyFrom(TStream* source, int64_t count)
{
    if (count == 0) {
        source->SetPosition(0);
        count = source->Size();
    }
    char buffer[8192];
    int64_t left = count;
    while (left > 0) {
        long n = long(std::min<int64_t>(left, sizeof buffer));
        source->ReadBuffer(buffer, n);
        WriteBuffer(buffer, n);
        left -= n;
    }
    return count;
}

long TMemoryStream::Read(void* buffer, long count)
{
    if (count <= 0 || FPosition >= int64_t(FData.size())) return 0;
    long n = long(std::min<int64_t>(count, int64_t(FData.size()) - FPosition));
    std::memcpy(buffer, FData.data() + FPosition, size_t(n));
    FPosition += n;
    return n;
}

long TMemoryStream::Write(const void* buffer, long count)
{
    if (count <= 0) return 0;
    if (FPosition + count > int64_t(FData.size())) FData.resize(size_t(FPosition + count));
    std::memcpy(FData.data() + FPosition, buffer, size_t(count));
    FPosition += count;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? FPosition : int64_t(FData.size());
    FPosition = std::max<int64_t>(0, base + offset);
    return FPosition;
}

void TMemoryStream::Clear()
{
    FData.clear();
    FPosition = 0;
}

void TMemoryStream::SetSize(int64_t size)
{
    FData.resize(size_t(std::max<int64_t>(0, size)));
    FPosition = std::min<int64_t>(FPosition, size);
}

void TMemoryStream::LoadFromStream(TStream* stream)
{
    stream->SetPosition(0);
    int64_t size = stream->Size();
    FData.resize(size_t(size));
    stream->ReadBuffer(FData.data(), long(size));
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName)
{
    TFileStream file(fileName, fmOpenRead);
    LoadFromStream(&file);
}

void TMemoryStream::SaveToFile(const std::string& fileName)
{
    TFileStream file(fileName, fmCreate);
    file.WriteBuffer(FData.data(), long(FData.size()));
}

TFileStream::TFileStream(const std::string& fileName, TFileMode mode)
{
    DWORD access = mode == fmOpenRead ? GENERIC_READ : mode == fmOpenWrite ? GENERIC_WRITE : GENERIC_READ | GENERIC_WRITE;
    DWORD disposition = mode == fmCreate ? CREATE_ALWAYS : OPEN_EXISTING;
    FHandle = CreateFileA(fileName.c_str(), access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (FHandle == INVALID_HANDLE_VALUE)
        RaiseLastOSError(std::string(mode == fmCreate ? "Cannot create file " : "Cannot open file ") + fileName);
}

TFileStream::~TFileStream()
{
    CloseHandle(FHandle);
}

long TFileStream::Read(void* buffer, long count)
{
    DWORD n = 0;
    if (count <= 0 || !ReadFile(FHandle, buffer, DWORD(count), &n, nullptr)) return 0;
    return long(n);
}

long TFileStream::Write(const void* buffer, long count)
{
    DWORD n = 0;
    if (count <= 0 || !WriteFile(FHandle, buffer, DWORD(count), &n, nullptr)) return 0;
    return long(n);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin)
{
    LARGE_INTEGER distance, result;
    distance.QuadPart = offset;
    DWORD method = origin == soBeginning ? FILE_BEGIN : origin == soCurrent ? FILE_CURRENT : FILE_END;
    if (!SetFilePointerEx(FHandle, distance, &result, method)) return -1;
    return result.QuadPart;
}

TResourceStream::TResourceStream(HINSTANCE instance, const std::string& name, LPCSTR type)
{
    HRSRC info = FindResourceA(instance, name.c_str(), type);
    HGLOBAL data = info ? LoadResource(instance, info) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) throw EReadError("Resource " + name + " not found");
    DWORD size = SizeofResource(instance, info);
    FData.assign(static_cast<const uint8_t*>(bytes), static_cast<const uint8_t*>(bytes) + size);
}

long TResourceStream::Write(const void*, long)
{
    throw EReadError("A resource stream cannot be written");
}

bool ResourceExists(const std::string& name, LPCSTR type)
{
    return FindResourceA(GetModuleHandleA(nullptr), name.c_str(), type) != nullptr;
}
