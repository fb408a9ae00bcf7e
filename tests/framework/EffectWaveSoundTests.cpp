// The wave sound and its player: what the player hands the platform (the
// flags of each option set, the bytes, or nothing at all), its events, the
// stops of Abort, the destructor and a wave changed under a background
// sound, and the wave's bytes in form resources. The platform call is
// replaced by a recorder; one test plays through the real one, which finds
// no wave device here.
#include "Button.h"
#include "Form.h"
#include "Reader.h"
#include "Streams.h"
#include "SysUtils.h"
#include "WaveSound.h"
#include "Writer.h"

#include <mmsystem.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> FromHex(const std::string& hex)
{
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(uint8_t(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

void PutLe32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes[at + size_t(i)] = uint8_t(value >> (8 * i));
}

// 8 samples, 8 bits, mono, 8000 Hz: 52 bytes (the one in TEffectStreamForm).
const std::vector<uint8_t> Wave52 = FromHex(
    "524946462C00000057415645666D74201000000001000100401F0000401F0000"
    "0100080064617461080000008090A0B0C0B0A090");

struct TPlayCall {
    bool HasSound;
    std::vector<uint8_t> Bytes;  // the RIFF structure handed over
    UINT Flags;
};

std::vector<TPlayCall> Calls;
std::vector<std::string> Journal;  // events and calls in order
BOOL RecorderResult = TRUE;

BOOL Recorder(LPCSTR sound, UINT flags)
{
    TPlayCall call{sound != nullptr, {}, flags};
    if (sound) {
        // Copies as much as the header declares: the player vouched for it.
        const auto* p = reinterpret_cast<const uint8_t*>(sound);
        uint32_t size = uint32_t(p[4]) | uint32_t(p[5]) << 8 | uint32_t(p[6]) << 16 | uint32_t(p[7]) << 24;
        call.Bytes.assign(p, p + 8 + size);
    }
    Calls.push_back(call);
    Journal.push_back(sound ? "play" : "stop");
    return sound ? RecorderResult : TRUE;
}

TOptionsSet Set(std::initializer_list<TepWavePlayOpt> options)
{
    TOptionsSet set = 0;
    for (TepWavePlayOpt o : options) set |= TOptionsSet(1u << o);
    return set;
}

class TWaveEvents : public TObject {
    GANTREL_CLASS(TWaveEvents)
public:
    void Before(TObject*) { Journal.push_back("before"); }
    void After(TObject*) { Journal.push_back("after"); }
    void Change(TObject*) { Journal.push_back("change"); }
};

class EffectWaveSoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Calls.clear();
        Journal.clear();
        RecorderResult = TRUE;
        Previous = SetPlaySoundFunction(Recorder);
        Player = new TepWavePlayer(nullptr);
        Player->BeforePlay = MakeEvent<&TWaveEvents::Before>(&Events);
        Player->AfterPlay = MakeEvent<&TWaveEvents::After>(&Events);
    }
    void TearDown() override
    {
        if (Player) Player->Free();
        SetPlaySoundFunction(Previous);
    }
    void Load(const std::vector<uint8_t>& bytes)
    {
        TMemoryStream stream;
        if (!bytes.empty()) stream.WriteBuffer(bytes.data(), long(bytes.size()));
        stream.SetPosition(0);
        Player->Wave()->LoadFromStream(&stream);
    }
    // Plays and returns what happened, leaving the journal empty.
    std::vector<std::string> PlayJournal()
    {
        Journal.clear();
        Player->Play();
        std::vector<std::string> j = Journal;
        Journal.clear();
        return j;
    }

    TPlaySoundFunction Previous = nullptr;
    TepWavePlayer* Player = nullptr;
    TWaveEvents Events;
};

using Steps = std::vector<std::string>;

TEST_F(EffectWaveSoundTest, FlagsFollowTheOptions)
{
    EXPECT_EQ(Set({wpoSync}), Player->Options());
    EXPECT_EQ(UINT(SND_MEMORY), Player->Flags());
    EXPECT_EQ(4u, Player->Flags());
    struct Case {
        TOptionsSet Options;
        UINT Flags;
    } cases[] = {
        {Set({}), 0x04},
        {Set({wpoAsync}), 0x05},
        {Set({wpoSync, wpoNoDefault}), 0x06},
        {Set({wpoAsync, wpoLoop}), 0x0D},
        {Set({wpoNoStop}), 0x14},
        {Set({wpoAsync, wpoNoDefault, wpoNoStop}), 0x17},
        {Set({wpoSync, wpoAsync, wpoNoDefault, wpoLoop, wpoNoStop}), 0x1F},
        // A loop waits for nothing: without wpoAsync the sound plays once.
        {Set({wpoLoop}), 0x04},
        {Set({wpoSync, wpoLoop, wpoNoDefault}), 0x06},
        {Set({wpoSync}), 0x04},
    };
    Load(Wave52);
    for (const Case& c : cases) {
        Player->SetOptions(c.Options);
        EXPECT_EQ(c.Options, Player->Options());
        EXPECT_EQ(c.Flags, Player->Flags()) << int(c.Options);
        Calls.clear();
        Player->Play();
        ASSERT_FALSE(Calls.empty());
        EXPECT_EQ(c.Flags, Calls.back().Flags);
    }
}

TEST_F(EffectWaveSoundTest, PlayHandsOverTheWaveBetweenTheEvents)
{
    Load(Wave52);
    EXPECT_EQ((Steps{"before", "play", "after"}), PlayJournal());
    ASSERT_EQ(1u, Calls.size());
    EXPECT_TRUE(Calls[0].HasSound);
    EXPECT_EQ(Wave52, Calls[0].Bytes);
    EXPECT_EQ(UINT(SND_MEMORY), Calls[0].Flags);
}

TEST_F(EffectWaveSoundTest, AnEmptyWavePlaysNothingAndStillFiresBothEvents)
{
    EXPECT_FALSE(Player->Wave()->Empty());  // it holds a data stream of no bytes
    EXPECT_TRUE(Player->Wave()->Bytes().empty());
    EXPECT_EQ((Steps{"before", "after"}), PlayJournal());
    EXPECT_TRUE(Calls.empty());
}

TEST_F(EffectWaveSoundTest, ADisabledPlayerPlaysNothingAndStillFiresBothEvents)
{
    Load(Wave52);
    Player->SetEnabled(false);
    EXPECT_EQ((Steps{"before", "after"}), PlayJournal());
    EXPECT_TRUE(Calls.empty());
}

TEST_F(EffectWaveSoundTest, DataShorterThanItsHeaderOrItsDeclaredSizesIsNeverHandedOver)
{
    std::vector<std::vector<uint8_t>> bad;
    bad.push_back(std::vector<uint8_t>(Wave52.begin(), Wave52.begin() + 4));   // "RIFF"
    bad.push_back(std::vector<uint8_t>(Wave52.begin(), Wave52.begin() + 11));  // a header cut short
    bad.push_back(std::vector<uint8_t>(Wave52.begin(), Wave52.begin() + 12));  // no chunks
    bad.push_back(std::vector<uint8_t>(Wave52.begin(), Wave52.end() - 1));     // RIFF size past the end
    std::vector<uint8_t> w = Wave52;
    PutLe32(w, 40, 9);  // data chunk longer than the RIFF
    bad.push_back(w);
    w = Wave52;
    PutLe32(w, 16, 0xFFFFFFF0u);  // a format chunk that would wrap the arithmetic
    bad.push_back(w);
    w = Wave52;
    PutLe32(w, 4, 0xFFFFFFFFu);  // RIFF size beyond any buffer
    bad.push_back(w);
    w = Wave52;
    w[8] = 'X';  // not WAVE
    bad.push_back(w);
    w = Wave52;
    std::memcpy(&w[36], "junk", 4);  // no data chunk
    bad.push_back(w);
    // A format chunk too short for PCMWAVEFORMAT (8 bytes), data after it.
    w = FromHex("524946462400000057415645666D742008000000010001" "00401F0000"
                "64617461080000008090A0B0C0B0A090");
    ASSERT_EQ(44u, w.size());
    bad.push_back(w);

    for (size_t i = 0; i < bad.size(); ++i) {
        EXPECT_FALSE(IsPlayableWave(bad[i].data(), bad[i].size())) << i;
        Load(bad[i]);
        Calls.clear();
        EXPECT_EQ((Steps{"before", "after"}), PlayJournal()) << i;
        EXPECT_TRUE(Calls.empty()) << i;
    }
    EXPECT_FALSE(IsPlayableWave(nullptr, 0));
    EXPECT_TRUE(IsPlayableWave(Wave52.data(), Wave52.size()));
    // Bytes after the RIFF structure are allowed; an odd chunk is padded.
    w = Wave52;
    w.push_back(0);
    EXPECT_TRUE(IsPlayableWave(w.data(), w.size()));
    w = FromHex("524946462E00000057415645666D74201000000001000100401F0000401F0000"
                "010008006461746109000000" "8090A0B0C0B0A0908000");
    ASSERT_EQ(54u, w.size());
    EXPECT_TRUE(IsPlayableWave(w.data(), w.size()));
    w.pop_back();  // the pad byte of the odd data chunk missing: the RIFF size overstates
    EXPECT_FALSE(IsPlayableWave(w.data(), w.size()));
}

TEST_F(EffectWaveSoundTest, AbortAndTheDestructorStopTheSound)
{
    Load(Wave52);
    Player->SetOptions(Set({wpoAsync, wpoLoop}));
    Player->Play();
    Calls.clear();
    Player->Abort();
    ASSERT_EQ(1u, Calls.size());
    EXPECT_FALSE(Calls[0].HasSound);
    EXPECT_EQ(0u, Calls[0].Flags);

    Player->Play();
    Calls.clear();
    Player->Free();
    Player = nullptr;
    ASSERT_EQ(1u, Calls.size());
    EXPECT_FALSE(Calls[0].HasSound);
    EXPECT_EQ(0u, Calls[0].Flags);
}

TEST_F(EffectWaveSoundTest, ChangingAWaveThatPlaysInTheBackgroundStopsItFirst)
{
    Load(Wave52);
    Player->SetOptions(Set({wpoAsync, wpoLoop}));
    Player->Wave()->OnChange = MakeEvent<&TWaveEvents::Change>(&Events);
    Player->Play();
    Journal.clear();
    std::vector<uint8_t> other = Wave52;
    other[44] = 0x10;
    Load(other);
    EXPECT_EQ((Steps{"stop", "change"}), Journal);

    // Assigning another wave (the Wave setter) the same way.
    Player->Play();
    Journal.clear();
    TepWave source;
    TMemoryStream stream;
    stream.WriteBuffer(Wave52.data(), long(Wave52.size()));
    stream.SetPosition(0);
    source.LoadFromStream(&stream);
    Player->SetWave(&source);
    EXPECT_EQ((Steps{"stop", "change"}), Journal);
    EXPECT_EQ(Wave52, Player->Wave()->Bytes());

    // Nothing playing any more: a change stops nothing.
    Journal.clear();
    Load(other);
    EXPECT_EQ((Steps{"change"}), Journal);
}

TEST_F(EffectWaveSoundTest, WavesNotPlayingInTheBackgroundChangeWithoutAStop)
{
    Load(Wave52);
    Player->Wave()->OnChange = MakeEvent<&TWaveEvents::Change>(&Events);
    // A synchronous sound has ended when Play returns.
    Player->Play();
    Journal.clear();
    Load(Wave52);
    EXPECT_EQ((Steps{"change"}), Journal);

    // A background sound the platform did not start (no wave device).
    Player->SetOptions(Set({wpoAsync}));
    RecorderResult = FALSE;
    Player->Play();
    Journal.clear();
    Load(Wave52);
    EXPECT_EQ((Steps{"change"}), Journal);

    // Another player's wave is not the one playing.
    RecorderResult = TRUE;
    TepWavePlayer* other = new TepWavePlayer(nullptr);
    other->Wave()->Assign(Player->Wave());
    other->SetOptions(Set({wpoAsync}));
    other->Play();
    Journal.clear();
    Load(Wave52);
    EXPECT_EQ((Steps{"change"}), Journal);
    Journal.clear();
    other->Free();  // stops the sound it plays
    EXPECT_EQ((Steps{"stop"}), Journal);
}

TEST_F(EffectWaveSoundTest, AssignCopiesBytesKeepsThemForNullAndAlwaysReportsAChange)
{
    TepWave wave;
    wave.OnChange = MakeEvent<&TWaveEvents::Change>(&Events);
    EXPECT_FALSE(wave.Modified());
    TepWave source;
    TMemoryStream stream;
    stream.WriteBuffer(Wave52.data(), long(Wave52.size()));
    stream.SetPosition(0);
    source.LoadFromStream(&stream);
    EXPECT_TRUE(source.Modified());

    wave.Assign(&source);
    EXPECT_EQ(Wave52, wave.Bytes());
    EXPECT_NE(source.Bytes().data(), wave.Bytes().data());
    EXPECT_TRUE(wave.Modified());
    wave.SetModified(false);
    EXPECT_FALSE(wave.Modified());
    wave.Assign(nullptr);
    EXPECT_EQ(Wave52, wave.Bytes());
    EXPECT_TRUE(wave.Modified());
    EXPECT_EQ((Steps{"change", "change"}), Journal);
    wave.SetModified(true);
    EXPECT_EQ(3u, Journal.size());

    TBitmap bitmap;
    EXPECT_THROW(wave.Assign(&bitmap), EConvertError);

    TMemoryStream out;
    wave.SaveToStream(&out);
    EXPECT_EQ(Wave52, out.Bytes());
}

TEST_F(EffectWaveSoundTest, WaveFilesKeepTheirBytes)
{
    char dir[MAX_PATH];
    ASSERT_NE(0u, GetTempPathA(MAX_PATH, dir));
    std::string name = std::string(dir) + "gantrel-wave-test-" + std::to_string(GetCurrentProcessId()) + ".wav";
    Load(Wave52);
    Player->Wave()->SaveToFile(name);
    TepWave wave;
    wave.LoadFromFile(name);
    DeleteFileA(name.c_str());
    EXPECT_EQ(Wave52, wave.Bytes());
}

TEST_F(EffectWaveSoundTest, WithoutAWaveDevicePlayingIsQuietAndNoError)
{
    SetPlaySoundFunction(nullptr);  // the platform's own call
    Load(Wave52);
    for (TOptionsSet options : {Set({wpoSync}), Set({wpoAsync, wpoNoDefault}), Set({wpoAsync, wpoLoop})}) {
        Player->SetOptions(options);
        EXPECT_NO_THROW(EXPECT_EQ((Steps{"before", "after"}), PlayJournal()));
        EXPECT_NO_THROW(Player->Abort());
    }
    Load({});
    EXPECT_NO_THROW(EXPECT_EQ((Steps{"before", "after"}), PlayJournal()));
}

// --- Form resources ----------------------------------------------------------

class TEffectStreamForm : public TForm {
    GANTREL_CLASS(TEffectStreamForm)
    explicit TEffectStreamForm(TComponent* owner) : TForm(owner, 0) {}
    TepWavePlayer* Player1 = nullptr;
    TBitBtn* BitBtn1 = nullptr;
    int Before = 0;
    void WaveBefore(TObject*) { ++Before; }
    static const TFormTable* Table()
    {
        static const TFormTable table = {
            {GANTREL_FIELD(TEffectStreamForm, Player1), GANTREL_FIELD(TEffectStreamForm, BitBtn1)},
            {GANTREL_HANDLER(TEffectStreamForm, WaveBefore)},
        };
        return &table;
    }
};

void ExpectGlyphPixels(TBitmap* glyph)
{
    ASSERT_EQ(2, glyph->Width());
    ASSERT_EQ(2, glyph->Height());
    EXPECT_EQ(RGB(255, 0, 0), glyph->Canvas()->Pixel(0, 0));
    EXPECT_EQ(RGB(255, 255, 255), glyph->Canvas()->Pixel(1, 0));
    EXPECT_EQ(RGB(0, 0, 255), glyph->Canvas()->Pixel(0, 1));
    EXPECT_EQ(RGB(0, 255, 0), glyph->Canvas()->Pixel(1, 1));
}

TEST_F(EffectWaveSoundTest, WaveAndGlyphDataRoundTripThroughAFormResource)
{
    RegisterWaveSoundClasses();
    TEffectStreamForm* form = NewForm<TEffectStreamForm>(nullptr);
    ReadFormResource(form, TEffectStreamForm::Table());
    ASSERT_NE(nullptr, form->Player1);
    EXPECT_EQ(Wave52, form->Player1->Wave()->Bytes());
    EXPECT_EQ(Set({wpoAsync, wpoNoDefault}), form->Player1->Options());
    EXPECT_EQ(UINT(SND_MEMORY | SND_ASYNC | SND_NODEFAULT), form->Player1->Flags());
    ExpectGlyphPixels(form->BitBtn1->Glyph());

    // Written out as form text and read into a new form: the same bytes and pixels.
    TWriter writer("    ");
    writer.WriteDefinedProperties(form->Player1->Wave(), "Wave.");
    std::string wave = writer.Text();
    TWriter glyphWriter("    ");
    glyphWriter.WriteDefinedProperties(form->BitBtn1->Glyph(), "Glyph.");
    std::string glyph = glyphWriter.Text();
    form->Free();

    EXPECT_NE(std::string::npos, wave.find("Wave.Data = {")) << wave;
    TEffectStreamForm* copy = NewForm<TEffectStreamForm>(nullptr);
    ReadFormText(copy,
                 "object EffectStreamForm: TEffectStreamForm\n"
                 "  object Player1: TepWavePlayer\n"
                 "    BeforePlay = WaveBefore\n" +
                     wave +
                     "  end\n"
                     "  object BitBtn1: TBitBtn\n" +
                     glyph +
                     "  end\n"
                     "end\n",
                 TEffectStreamForm::Table());
    EXPECT_EQ(Wave52, copy->Player1->Wave()->Bytes());
    EXPECT_EQ(Set({wpoSync}), copy->Player1->Options());
    ExpectGlyphPixels(copy->BitBtn1->Glyph());
    // Written again, both come out as the same text.
    TWriter again("    ");
    again.WriteDefinedProperties(copy->Player1->Wave(), "Wave.");
    again.WriteDefinedProperties(copy->BitBtn1->Glyph(), "Glyph.");
    EXPECT_EQ(wave + glyph, again.Text());

    // The handler bound by name fires; the bytes handed over are the resource's.
    Calls.clear();
    copy->Player1->Play();
    EXPECT_EQ(1, copy->Before);
    ASSERT_EQ(1u, Calls.size());
    EXPECT_EQ(Wave52, Calls[0].Bytes);
    copy->Free();
}

TEST_F(EffectWaveSoundTest, AWaveOfNoBytesIsStoredAndReadAsNoBytes)
{
    TWriter writer("    ");
    writer.WriteDefinedProperties(Player->Wave(), "Wave.");
    EXPECT_EQ("    Wave.Data = {\n      }\n", writer.Text());
    RegisterWaveSoundClasses();
    TEffectStreamForm* form = NewForm<TEffectStreamForm>(nullptr);
    ReadFormText(form,
                 "object EffectStreamForm: TEffectStreamForm\n  object Player1: TepWavePlayer\n" + writer.Text() +
                     "  end\n  object BitBtn1: TBitBtn\n  end\nend\n",
                 TEffectStreamForm::Table());
    EXPECT_TRUE(form->Player1->Wave()->Bytes().empty());
    EXPECT_TRUE(form->Player1->Wave()->Modified());
    form->Free();
}

}  // namespace
