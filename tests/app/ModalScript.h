// What a user does in a modal window of the program, while its modal loop
// runs: a list of steps that a thread timer (dispatched by that loop) runs
// one after another. A step returns true when it is done, false to be run
// again on the next tick; clicks, typing and keys are posted to the
// window's controls as real messages, so each step sees the effects of the
// one before.
#pragma once

#include "Button.h"
#include "Edit.h"
#include "Form.h"
#include "WinControl.h"

#include <functional>
#include <string>
#include <vector>

class TModalScript {
public:
    using TStep = std::function<bool()>;

    // After timeoutMs the script gives up and closes the active window.
    explicit TModalScript(int timeoutMs = 30000);
    ~TModalScript();
    TModalScript(const TModalScript&) = delete;
    TModalScript& operator=(const TModalScript&) = delete;

    TModalScript& Then(TStep step);
    // Starts the ticks (one script at a time).
    void Start();
    void Stop();
    // Every step ran to its end.
    bool Finished() const { return Next == Steps.size() && !Steps.empty(); }
    // Some step ran at all (a window came up).
    bool Started() const { return Ran; }
    bool TimedOut() const { return GaveUp; }
    size_t StepsDone() const { return Next; }

    // A click on one of the platform's buttons, as the mouse gives it.
    static void Click(TButton* button);
    // A left press and release in the middle of a control: the skinned
    // buttons, check boxes and radio buttons know no BM_CLICK.
    static void Click(TWinControl* control);
    // Replaces the text of an edit by typing: select all, then the characters
    // (an empty text is a backspace).
    static void Type(TEdit* edit, const std::string& text);
    // A key pressed and released on a control that has the focus.
    static void Key(TWinControl* control, WORD key);
    // Keeps a picture of a shown dialog as build/artifacts/<name> and checks
    // in it that each skinned control it shows wears its style.
    static void KeepPicture(TForm* dialog, const std::string& name);

private:
    std::vector<TStep> Steps;
    size_t Next = 0;
    bool Ran = false;
    bool GaveUp = false;
    int TimeoutMs;
    DWORD StartTick = 0;
    UINT_PTR Timer = 0;
    static TModalScript* Current;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void RunStep();
};
