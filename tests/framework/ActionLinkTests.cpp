// Action links (a client's view of its action) and shortcuts made from keys
// and key messages.
#include "Action.h"
#include "ActionLink.h"
#include "BiDi.h"
#include "ShortCuts.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct TLinkLog : TObject {
    std::vector<TObject*> Changes;
    int Executed = 0;
    void Changed(TObject* sender) { Changes.push_back(sender); }
    void Execute(TObject*) { ++Executed; }
};

}  // namespace

TEST(ActionLink, JoinsTheActionsClientsAndHearsItsChanges)
{
    auto* action = new TAction(nullptr);
    TLinkLog log;
    {
        TActionLink link;
        link.OnChange = MakeEvent<&TLinkLog::Changed>(&log);
        link.SetAction(action);
        EXPECT_EQ(action, link.Action());
        EXPECT_EQ(1u, action->Clients.size());
        action->SetCaption("New");
        action->SetHelpContext(5);
        action->SetHelpContext(5);  // unchanged: no news
        EXPECT_EQ((std::vector<TObject*>{action, action}), log.Changes);
        EXPECT_EQ(5, action->HelpContext());
    }
    // Gone with the link.
    EXPECT_TRUE(action->Clients.empty());
    action->Free();
}

TEST(ActionLink, MovingToAnotherActionLeavesTheFirst)
{
    auto* first = new TAction(nullptr);
    auto* second = new TAction(nullptr);
    TActionLink link;
    link.SetAction(first);
    link.SetAction(second);
    EXPECT_TRUE(first->Clients.empty());
    EXPECT_EQ(1u, second->Clients.size());
    link.SetAction(nullptr);
    EXPECT_TRUE(second->Clients.empty());
    EXPECT_FALSE(link.IsCaptionLinked());
    first->Free();
    second->Free();
}

TEST(ActionLink, AnActionFreedFirstIsLetGoWithoutTouchingIt)
{
    auto* action = new TAction(nullptr);
    TActionLink link;
    link.SetAction(action);
    // The client is told the action goes (a free notification); it lets go
    // while the action is being destroyed.
    struct TClient : TComponent {
        using TComponent::TComponent;
        TActionLink* Link = nullptr;
        void Notification(TComponent* c, TOperation op) override
        {
            TComponent::Notification(c, op);
            if (op == opRemove && Link && c == Link->Action()) Link->SetAction(nullptr);
        }
    } client(nullptr);
    client.Link = &link;
    client.FreeNotification(action);
    action->Free();
    EXPECT_EQ(nullptr, link.Action());
}

TEST(ActionLink, ExecuteAndUpdateRunTheAction)
{
    auto* action = new TAction(nullptr);
    TLinkLog log;
    action->OnExecute = MakeEvent<&TLinkLog::Execute>(&log);
    TActionLink link;
    EXPECT_FALSE(link.Execute());
    link.SetAction(action);
    EXPECT_TRUE(link.IsCaptionLinked());
    EXPECT_TRUE(link.IsOnExecuteLinked());
    EXPECT_TRUE(link.Execute());
    EXPECT_EQ(1, log.Executed);
    action->SetEnabled(false);
    EXPECT_FALSE(link.Execute());
    EXPECT_EQ(1, log.Executed);
    link.SetAction(nullptr);
    action->Free();
}

TEST(ShortCuts, AKeyWithItsShiftStateIsOneShortcut)
{
    EXPECT_EQ(TShortCut(VK_F5), ShortCut(VK_F5, 0));
    EXPECT_EQ(TShortCut(0x4000 | 'S'), ShortCut('S', ssCtrl));
    EXPECT_EQ(TShortCut(0x2000 | 0x8000 | VK_DELETE), ShortCut(VK_DELETE, ssShift | ssAlt | ssLeft));
    // The code is kept as it is: F5 (0x74) is not "T", Numpad1 (0x61) not "A".
    EXPECT_NE(ShortCut('T', 0), ShortCut(VK_F5, 0));
    EXPECT_NE(ShortCut('A', 0), ShortCut(VK_NUMPAD1, 0));
}

TEST(ShortCuts, AltComesFromTheKeyMessagesContextBit)
{
    // Shift and Ctrl are up in the test program.
    EXPECT_EQ(TShiftState(0), KeyDataToShiftState(0x00010001));
    EXPECT_EQ(TShiftState(ssAlt), KeyDataToShiftState(0x20010001));
    EXPECT_EQ(TShortCut(0x8000 | VK_F4), ShortCutFromKeyMessage(VK_F4, 0x20010001));
    EXPECT_EQ(TShortCut(VK_F4), ShortCutFromKeyMessage(VK_F4, 0x00010001));
}

TEST(BiDi, TheTestLocaleReadsLeftToRight)
{
    // The test prefix runs in an English locale.
    EXPECT_FALSE(SysLocaleMiddleEast());
}
