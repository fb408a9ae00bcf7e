// A wave sound carried inside a form resource, and a component that plays
// it from memory through the platform's sndPlaySoundA.
//
// The platform reads the bytes of a background sound while it plays, so
// the wave stops that sound before its bytes change or are freed, and the
// bytes are handed over only when they hold a whole RIFF/WAVE structure.
// A machine without a wave device simply plays nothing.
#pragma once

#include "Component.h"
#include "Event.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TMemoryStream;
class TStream;

// The bytes of a wave file; "Data" in form resources.
class TepWave : public TPersistent {
    GANTREL_CLASS(TepWave)

    TepWave();
    ~TepWave() override;

    // True only without a data stream; a constructed wave always has one,
    // so it is not empty even while it holds no bytes.
    bool Empty() const { return FData == nullptr; }
    const std::vector<uint8_t>& Bytes() const;

    // The rest of the stream from its position becomes the data.
    void LoadFromStream(TStream* stream);
    void SaveToStream(TStream* stream);
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

    // From another wave: a copy of its bytes; from null: the bytes stay.
    void Assign(TPersistent* source) override;
    void DefineProperties(TFiler* filer) override;

    bool Modified() const { return FModified; }
    void SetModified(bool modified);

    TNotifyEvent OnChange;

protected:
    void Changed();

private:
    TMemoryStream* FData;
    bool FModified = false;

    // The platform may be reading these bytes in the background: stop it.
    void ReleaseFromPlayback();
};

enum TepWavePlayOpt { wpoSync, wpoAsync, wpoNoDefault, wpoLoop, wpoNoStop };
using TOptionsSet = unsigned char;  // bit per TepWavePlayOpt

class TepWavePlayer : public TComponent {
    GANTREL_CLASS(TepWavePlayer)

    explicit TepWavePlayer(TComponent* owner);
    ~TepWavePlayer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled) { FEnabled = enabled; }
    TOptionsSet Options() const { return FOptions; }
    void SetOptions(TOptionsSet options);
    // The flags the platform call gets (SND_MEMORY and those of Options).
    UINT Flags() const { return FFlags; }
    TepWave* Wave() const { return FWave; }
    void SetWave(TepWave* value);

    // BeforePlay, the sound when enabled and the wave is whole, AfterPlay.
    // With wpoSync the call returns when the sound has ended.
    void Play();
    // Stops the sound that is playing.
    void Abort();

    TNotifyEvent BeforePlay;
    TNotifyEvent AfterPlay;

    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;

private:
    bool FEnabled = true;
    TOptionsSet FOptions = 1u << wpoSync;
    UINT FFlags;
    TepWave* FWave;
};

// Whether size bytes hold a RIFF/WAVE structure whose declared sizes all
// lie inside them, with a format chunk and a data chunk.
bool IsPlayableWave(const void* data, size_t size);

// The platform call; tests put a recorder in its place. Null restores
// sndPlaySoundA. Returns the function it replaces.
using TPlaySoundFunction = BOOL (*)(LPCSTR sound, UINT flags);
TPlaySoundFunction SetPlaySoundFunction(TPlaySoundFunction function);

// Registers the player with the form reader.
void RegisterWaveSoundClasses();
