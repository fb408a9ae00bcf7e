// The glyph-button bases' sounds: the hover sound on turning hot, the click
// sound on release, and a player that is freed forgotten by the button.
#include "EffectControl.h"
#include "Form.h"
#include "Reader.h"
#include "WaveSound.h"

#include <gtest/gtest.h>

namespace {

struct PlayCounter : TObject {
    int Plays = 0;
    void Before(TObject*) { ++Plays; }
};

BOOL Silent(LPCSTR, UINT) { return TRUE; }

class GlyphSoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Previous = SetPlaySoundFunction(&Silent);
        Form = new TForm(nullptr, 0);
        Click = NewPlayer(ClickPlays);
        Active = NewPlayer(ActivePlays);
    }
    void TearDown() override
    {
        Form->Free();
        SetPlaySoundFunction(Previous);
    }
    TepWavePlayer* NewPlayer(PlayCounter& counter)
    {
        auto* player = new TepWavePlayer(Form);
        player->BeforePlay = MakeEvent<&PlayCounter::Before>(&counter);
        return player;
    }
    template <class Button>
    Button* NewButton()
    {
        auto* b = new Button(Form);
        b->SetParent(Form);
        b->SetBounds(0, 0, 20, 20);
        b->SetClickSound(Click);
        b->SetActiveSound(Active);
        return b;
    }
    template <class Button>
    void ClickOn(Button* b)
    {
        b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }
    TPlaySoundFunction Previous = nullptr;
    TForm* Form = nullptr;
    TepWavePlayer* Click = nullptr;
    TepWavePlayer* Active = nullptr;
    PlayCounter ClickPlays, ActivePlays;
};

}  // namespace

TEST_F(GlyphSoundTest, HoverPlaysTheActiveSoundAndReleaseTheClickSound)
{
    TButtonGControl* b = NewButton<TButtonGControl>();
    EXPECT_EQ(Click, b->ClickSound());
    EXPECT_EQ(Active, b->ActiveSound());
    b->Perform(CM_MOUSEENTER);
    EXPECT_EQ(1, ActivePlays.Plays);
    EXPECT_EQ(0, ClickPlays.Plays);
    b->Perform(CM_MOUSEENTER);  // already hot: no second sound
    EXPECT_EQ(1, ActivePlays.Plays);
    ClickOn(b);
    EXPECT_EQ(1, ClickPlays.Plays);
    b->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(1, ActivePlays.Plays);
    // Not hot: a release plays nothing.
    b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(1, ClickPlays.Plays);
}

TEST_F(GlyphSoundTest, AFreedPlayerIsForgotten)
{
    TButtonGControl* g = NewButton<TButtonGControl>();
    TButtonCControl* c = NewButton<TButtonCControl>();
    TButtonGTControl* t = NewButton<TButtonGTControl>();
    Click->Free();
    Click = nullptr;
    EXPECT_EQ(nullptr, g->ClickSound());
    EXPECT_EQ(nullptr, c->ClickSound());
    EXPECT_EQ(nullptr, t->ClickSound());
    EXPECT_EQ(Active, g->ActiveSound());
    // Hover and click still work, without the click sound.
    g->Perform(CM_MOUSEENTER);
    ClickOn(g);
    c->Perform(CM_MOUSEENTER);
    ClickOn(c);
    t->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(t->Hot());
    ClickOn(t);
    EXPECT_EQ(3, ActivePlays.Plays);
    EXPECT_EQ(0, ClickPlays.Plays);
    Active->Free();
    Active = nullptr;
    EXPECT_EQ(nullptr, g->ActiveSound());
    EXPECT_EQ(nullptr, c->ActiveSound());
    EXPECT_EQ(nullptr, t->ActiveSound());
    g->Perform(CM_MOUSELEAVE);
    g->Perform(CM_MOUSEENTER);
    EXPECT_EQ(3, ActivePlays.Plays);
}

TEST_F(GlyphSoundTest, OnePlayerForBothSoundsIsForgottenForBoth)
{
    TButtonCControl* b = NewButton<TButtonCControl>();
    b->SetClickSound(Active);
    b->SetClickSound(Active);
    b->Perform(CM_MOUSEENTER);
    ClickOn(b);
    EXPECT_EQ(2, ActivePlays.Plays);
    // Replacing one reference keeps the other told about the player.
    b->SetActiveSound(nullptr);
    Active->Free();
    Active = nullptr;
    EXPECT_EQ(nullptr, b->ClickSound());
    EXPECT_EQ(nullptr, b->ActiveSound());
    // A button freed first leaves the player nothing to tell.
    TButtonGControl* g = NewButton<TButtonGControl>();
    g->Free();
    Click->Free();
    Click = nullptr;
}

TEST_F(GlyphSoundTest, WindowlessTrackingButtonPlaysOnTurningHot)
{
    TButtonGTControl* t = NewButton<TButtonGTControl>();
    t->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(1, ActivePlays.Plays);
    t->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
    EXPECT_EQ(1, ActivePlays.Plays);
    ClickOn(t);
    EXPECT_EQ(1, ClickPlays.Plays);
}

TEST_F(GlyphSoundTest, SoundsAreReadFromFormTextByName)
{
    RegisterWaveSoundClasses();
    RegisterClass<TButtonGControl>();
    TForm* form = new TForm(nullptr, 0);
    ReadFormText(form,
                 "object F: TForm\n  object B: TButtonGControl\n    ClickSound = P1\n    ActiveSound = P2\n  end\n"
                 "  object P1: TepWavePlayer\n  end\n  object P2: TepWavePlayer\n  end\nend\n",
                 nullptr);
    auto* b = form->FindComponent<TButtonGControl>("B");
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(form->FindComponent("P1"), b->ClickSound());
    EXPECT_EQ(form->FindComponent("P2"), b->ActiveSound());
    form->FindComponent("P1")->Free();
    EXPECT_EQ(nullptr, b->ClickSound());
    form->Free();
}
