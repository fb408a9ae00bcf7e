// The application object (message loop, forms, exceptions) and the screen
// (forms, the active form). Both exist from InitApplication on.
#pragma once

#include "Form.h"

#include <functional>
#include <string>
#include <vector>

using TExceptionEvent = TEvent<void(TObject*, const std::exception&)>;

class TApplication : public TComponent {
    GANTREL_CLASS(TApplication)

    explicit TApplication(TComponent* owner);
    ~TApplication() override;

    void Initialize();
    const std::string& Title() const { return FTitle; }
    // The program's icon: the MAINICON resource when there is one; a form
    // without an icon of its own shows it.
    TIcon* Icon() const { return FIcon; }
    void SetIcon(TIcon* icon);
    void SetTitle(const std::string& title);
    std::string ExeName() const;
    HWND Handle() const { return FHandle; }

    // Creates a form owned by the application; the first becomes the main form.
    template <typename T>
    void CreateForm(T*& reference)
    {
        reference = new T(this);
        if (!FMainForm) FMainForm = reference;
        reference->AfterConstruction();
    }
    TCustomForm* MainForm() const { return FMainForm; }
    void Notification(TComponent* component, TOperation operation) override;
    bool ShowMainForm = true;

    // Shows the main form and runs the message loop until Terminate.
    void Run();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Runs everything waiting and returns at once.
    void ProcessMessages();
    // Waits for one message (or a Synchronize call) and handles it.
    void HandleMessage();
    // Runs call on the user-interface thread once the current messages are
    // through. Called on the user-interface thread only (worker threads use
    // TThread::Synchronize).
    void PostCall(std::function<void()> call);

    // Inside a catch block: hands the exception to OnException or shows it.
    void HandleException(TObject* sender);
    void ShowException(const std::exception& e);
    TExceptionEvent OnException;

    void Minimize();
    void Restore();
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;
    void DoMinimize();
    void DoRestore();

    int MessageBox(const std::string& text, const std::string& caption, UINT flags);

private:
    HWND FHandle = nullptr;
    TIcon* FIcon;
    std::string FTitle;
    TCustomForm* FMainForm = nullptr;
    bool FTerminated = false;
    std::vector<std::function<void()>> FPostedCalls;
    bool ProcessMessage(MSG& msg);
    bool IsKeyMessage(MSG& msg);
    void AppWndProc(TMessage& message);
};

class TScreen : public TComponent {
    GANTREL_CLASS(TScreen)

    using TComponent::TComponent;

    int FormCount() const { return int(FForms.size()); }
    TCustomForm* Forms(int index) const { return FForms.at(size_t(index)); }
    TCustomForm* ActiveForm() const { return FActiveForm; }
    TWinControl* ActiveControl() const;
    int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
    int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
    int PixelsPerInch() const;
    // The primary monitor's area less the task bar and docked bars.
    RECT WorkAreaRect() const;
    // The rectangle of every monitor together.
    RECT DesktopRect() const;

    void AddForm(TCustomForm* form);
    void RemoveForm(TCustomForm* form);
    void SetActiveForm(TCustomForm* form) { FActiveForm = form; }

private:
    std::vector<TCustomForm*> FForms;
    TCustomForm* FActiveForm = nullptr;
};

extern TApplication* Application;
extern TScreen* Screen;

// Creates the application and screen objects (InitFramework, in
// Framework.h, also registers the classes of the layers above).
void InitApplication();
// Frees them again (the forms with them).
void DoneApplication();
