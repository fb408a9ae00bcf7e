// A modal form's close: the action its close handler asks for holds after
// the modal loop as it does for a form that is not modal. The session's end
// reaches a form as its events.
#include "Application.h"
#include "Form.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct TCloseProbe {
    TCloseAction Action = caHide;
    bool Destroyed = false;
    void FormClose(TObject*, TCloseAction& action) { action = Action; }
    void FormDestroy(TObject*) { Destroyed = true; }
};

void CALLBACK CloseActiveModal(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    if (HWND active = GetActiveWindow()) PostMessageA(active, WM_CLOSE, 0, 0);
}

bool PumpUntil(const bool& done, DWORD ms)
{
    DWORD start = GetTickCount();
    while (!done && GetTickCount() - start < ms) {
        Application->ProcessMessages();
        Sleep(1);
    }
    return done;
}

TEST(ModalForm, AFormThatAsksToBeFreedOnCloseIsFreedAfterItsModalLoop)
{
    TCloseProbe probe;
    probe.Action = caFree;
    TForm* form = new TForm(nullptr, 0);
    form->OnClose = MakeEvent<&TCloseProbe::FormClose>(&probe);
    form->OnDestroy = MakeEvent<&TCloseProbe::FormDestroy>(&probe);
    SetTimer(nullptr, 0, 100, CloseActiveModal);
    EXPECT_EQ(mrCancel, form->ShowModal());
    // Not inside the modal loop's last message: only afterwards.
    EXPECT_FALSE(probe.Destroyed);
    EXPECT_TRUE(PumpUntil(probe.Destroyed, 2000));
}

TEST(ModalForm, AFormHiddenOnCloseStays)
{
    TCloseProbe probe;
    TForm* form = new TForm(nullptr, 0);
    form->OnClose = MakeEvent<&TCloseProbe::FormClose>(&probe);
    form->OnDestroy = MakeEvent<&TCloseProbe::FormDestroy>(&probe);
    SetTimer(nullptr, 0, 100, CloseActiveModal);
    EXPECT_EQ(mrCancel, form->ShowModal());
    EXPECT_FALSE(PumpUntil(probe.Destroyed, 200));
    EXPECT_FALSE(form->Visible());
    form->OnDestroy = nullptr;
    form->Free();
}

struct TSessionProbe {
    bool Allow = true;
    std::vector<bool> Ends;
    void QueryEndSession(TObject*, bool& canEnd) { canEnd = Allow; }
    void EndSession(TObject*, bool ending) { Ends.push_back(ending); }
};

TEST(FormSession, TheQueryAnswersAsTheFormDecidesAndTheEndSaysWhetherItCame)
{
    TSessionProbe probe;
    TForm* form = new TForm(nullptr, 0);
    auto send = [form](UINT message, WPARAM w) { return SendMessageA(form->Handle(), message, w, ENDSESSION_LOGOFF); };
    EXPECT_EQ(TRUE, send(WM_QUERYENDSESSION, 0));  // without a handler it may end
    form->OnQueryEndSession = MakeEvent<&TSessionProbe::QueryEndSession>(&probe);
    form->OnEndSession = MakeEvent<&TSessionProbe::EndSession>(&probe);
    for (bool allow : {false, true}) {
        probe.Allow = allow;
        EXPECT_EQ(allow ? TRUE : FALSE, send(WM_QUERYENDSESSION, 0));
    }
    for (WPARAM ending : {FALSE, TRUE}) send(WM_ENDSESSION, ending);
    EXPECT_EQ((std::vector<bool>{false, true}), probe.Ends);
    form->Free();
}

}  // namespace
