// The move notice of windowless controls: WM_MOVE with the new position
// whenever their bounds move, as a windowed control hears from its window.
#include "Application.h"
#include "Panel.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class TMoveWatch : public TGraphicControl {
    GANTREL_CLASS(TMoveWatch)
    explicit TMoveWatch(TComponent* owner) : TGraphicControl(owner) {}
    std::vector<POINT> Moves;
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == WM_MOVE) Moves.push_back(POINT{short(LOWORD(m.LParam)), short(HIWORD(m.LParam))});
        TGraphicControl::Dispatch(m);
    }
};

}  // namespace

TEST(ControlMove, AWindowlessControlHearsOfEveryMoveAndOnlyOfMoves)
{
    TForm* form = new TForm(nullptr, 0);
    TPanel* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(0, 0, 200, 100);
    TMoveWatch* watch = new TMoveWatch(form);
    watch->SetParent(panel);
    watch->SetBounds(10, 20, 30, 40);
    ASSERT_EQ(watch->Moves.size(), 1u);
    EXPECT_EQ(watch->Moves[0].x, 10);
    EXPECT_EQ(watch->Moves[0].y, 20);
    watch->SetWidth(50);  // a size change alone is no move
    watch->SetBounds(10, 20, 50, 40);
    EXPECT_EQ(watch->Moves.size(), 1u);
    watch->SetLeft(-5);
    ASSERT_EQ(watch->Moves.size(), 2u);
    EXPECT_EQ(watch->Moves[1].x, -5);
    EXPECT_EQ(watch->Moves[1].y, 20);
    form->HandleNeeded();
    watch->SetTop(7);
    ASSERT_EQ(watch->Moves.size(), 3u);
    EXPECT_EQ(watch->Moves[2].y, 7);
    form->Free();
}
