// The main window with a controller on COM1 whose blocks start from their
// power-on contents, for the settings dialogs that read and write them.
#pragma once

#include "MainWindowFixture.h"
#include "ModalScript.h"
#include "TextIds.h"

#include <sstream>
#include <string>
#include <vector>

class ControllerDialogTest : public MainWindowTest {
protected:
    std::string Block(int n) { return FromHex(Com1.Ok("block " + std::to_string(n))); }
    void SetBlock(int n, const std::string& bytes)
    {
        Com1.Ok("block " + std::to_string(n) + " " +
                ToHex(reinterpret_cast<const unsigned char*>(bytes.data()), int(bytes.size())));
    }
    static int Byte(const std::string& block, int i) { return static_cast<unsigned char>(block[size_t(i)]); }
    bool Received(const std::string& token)
    {
        for (const std::string& t : Transcript())
            if (t == token || t.rfind(token + ":", 0) == 0) return true;
        return false;
    }
    // The simulator took a whole block write of this command (it reads the
    // line on its own time: a test waits for it before it looks).
    bool WholeWriteArrives(int command)
    {
        const std::string whole = std::to_string(command) + ":224";
        bool arrived = WaitUntil([&] {
            for (const std::string& t : Transcript())
                if (t == whole) return true;
            return false;
        }, 5000);
        if (!arrived) ADD_FAILURE() << "no whole write " << whole << " in: " << Com1.Ok("transcript");
        return arrived;
    }
    // The monitor was let go and polls again.
    bool MonitorGoesOn()
    {
        return WaitUntil([this] {
            return !Form()->MonitorThread->PauseRequest && Form()->LinkCounter == 0 && LiveValue(1) != "-----";
        }, 8000);
    }
    std::string Text(int id) { return Form()->Text(id); }
};
