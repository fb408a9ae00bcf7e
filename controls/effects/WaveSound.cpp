#include "WaveSound.h"

#include "Reader.h"
#include "Streams.h"

#include <mmsystem.h>

#include <cstring>

namespace {

BOOL PlatformPlaySound(LPCSTR sound, UINT flags)
{
    return sndPlaySoundA(sound, flags);
}

TPlaySoundFunction PlaySoundFunction = PlatformPlaySound;

// The wave whose bytes the platform may still be playing in the
// background: one sound plays at a time in a process.
const TepWave* PlayingWave = nullptr;

void StopSound()
{
    PlaySoundFunction(nullptr, 0);
    PlayingWave = nullptr;
}

uint32_t Le32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

bool IsPlayableWave(const void* data, size_t size)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (!bytes || size < 12) return false;
    if (std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) return false;
    uint64_t end = 8 + uint64_t(Le32(bytes + 4));
    if (end > size || end < 12) return false;
    bool format = false, samples = false;
    uint64_t pos = 12;
    while (pos + 8 <= end) {
        const uint8_t* chunk = bytes + pos;
        uint64_t length = Le32(chunk + 4);
        if (length > end - pos - 8) return false;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < sizeof(PCMWAVEFORMAT)) return false;
            format = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            samples = true;
        }
        pos += 8 + length + (length & 1);  // chunks are padded to even sizes
    }
    return format && samples;
}

TPlaySoundFunction SetPlaySoundFunction(TPlaySoundFunction function)
{
    TPlaySoundFunction previous = PlaySoundFunction;
    PlaySoundFunction = function ? function : PlatformPlaySound;
    return previous;
}

// --- TepWave ---------------------------------------------------------------

TepWave::TepWave() : FData(new TMemoryStream) {}

TepWave::~TepWave()
{
    ReleaseFromPlayback();
    delete FData;
}

const std::vector<uint8_t>& TepWave::Bytes() const
{
    static const std::vector<uint8_t> none;
    return FData ? FData->Bytes() : none;
}

void TepWave::ReleaseFromPlayback()
{
    if (PlayingWave == this) StopSound();
}

void TepWave::LoadFromStream(TStream* stream)
{
    int64_t count = stream->Size() - stream->Position();
    if (count < 0) count = 0;
    std::vector<uint8_t> bytes(static_cast<size_t>(count));
    if (count > 0) stream->ReadBuffer(bytes.data(), long(count));
    ReleaseFromPlayback();
    FData->Clear();
    if (!bytes.empty()) FData->WriteBuffer(bytes.data(), long(bytes.size()));
    FData->SetPosition(0);
    Changed();
}

void TepWave::SaveToStream(TStream* stream)
{
    const std::vector<uint8_t>& bytes = Bytes();
    if (!bytes.empty()) stream->WriteBuffer(bytes.data(), long(bytes.size()));
}

void TepWave::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead);
    LoadFromStream(&stream);
}

void TepWave::SaveToFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmCreate);
    SaveToStream(&stream);
}

void TepWave::Assign(TPersistent* source)
{
    if (!source) {
        Changed();
        return;
    }
    if (auto* wave = dynamic_cast<TepWave*>(source)) {
        if (wave != this) {
            std::vector<uint8_t> bytes = wave->Bytes();
            ReleaseFromPlayback();
            FData->Clear();
            if (!bytes.empty()) FData->WriteBuffer(bytes.data(), long(bytes.size()));
            FData->SetPosition(0);
        }
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

void TepWave::DefineProperties(TFiler* filer)
{
    filer->DefineBinaryProperty(
        "Data", [this](TStream& stream) { LoadFromStream(&stream); }, [this](TStream& stream) { SaveToStream(&stream); },
        !Empty());
}

void TepWave::SetModified(bool modified)
{
    if (modified) Changed();
    else FModified = false;
}

void TepWave::Changed()
{
    FModified = true;
    if (OnChange) OnChange(this);
}

// --- TepWavePlayer ---------------------------------------------------------

TepWavePlayer::TepWavePlayer(TComponent* owner) : TComponent(owner), FFlags(SND_MEMORY), FWave(new TepWave) {}

TepWavePlayer::~TepWavePlayer()
{
    StopSound();
    delete FWave;
}

void TepWavePlayer::SetOptions(TOptionsSet options)
{
    if (options == FOptions) return;
    FOptions = options;
    UINT flags = SND_MEMORY;
    if (options & (1u << wpoAsync)) flags |= SND_ASYNC;
    if (options & (1u << wpoNoDefault)) flags |= SND_NODEFAULT;
    // A loop can only run in the background: a looping call that waited
    // for the sound's end would never return. Without wpoAsync the sound
    // plays once.
    if ((options & (1u << wpoLoop)) && (options & (1u << wpoAsync))) flags |= SND_LOOP;
    if (options & (1u << wpoNoStop)) flags |= SND_NOSTOP;
    FFlags = flags;
}

void TepWavePlayer::SetWave(TepWave* value)
{
    FWave->Assign(value);
}

void TepWavePlayer::Play()
{
    if (BeforePlay) BeforePlay(this);
    const std::vector<uint8_t>& bytes = FWave->Bytes();
    // Data that is not a whole wave is never handed over: the platform
    // would read its header past the end of the buffer.
    if (FEnabled && IsPlayableWave(bytes.data(), bytes.size())) {
        // A missing wave device (FALSE) is no error: the sound is a courtesy.
        if (PlaySoundFunction(reinterpret_cast<LPCSTR>(bytes.data()), FFlags)) {
            // A started sound ended the one before it (SND_NOSTOP fails
            // instead); a synchronous one has ended by now.
            PlayingWave = (FFlags & SND_ASYNC) ? FWave : nullptr;
        }
    }
    if (AfterPlay) AfterPlay(this);
}

void TepWavePlayer::Abort()
{
    StopSound();
}

bool TepWavePlayer::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames options = {"wpoSync", "wpoAsync", "wpoNoDefault", "wpoLoop", "wpoNoStop"};
    if (name == "Options") SetOptions(TOptionsSet(reader.ReadSet(options)));
    else if (name == "BeforePlay") BeforePlay = reader.ReadEvent<TNotifyEvent>();
    else if (name == "AfterPlay") AfterPlay = reader.ReadEvent<TNotifyEvent>();
    else return TComponent::ReadProperty(name, reader);
    return true;
}

TPersistent* TepWavePlayer::PropertyObject(const std::string& name)
{
    if (name == "Wave") return FWave;
    return TComponent::PropertyObject(name);
}

void RegisterWaveSoundClasses()
{
    RegisterClass<TepWavePlayer>();
}
