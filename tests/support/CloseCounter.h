// A form's OnClose handler for tests: counts the calls and answers with the
// close action the test chose. One class in a header, not a copy per test
// file: same-named classes in different files' anonymous namespaces have been
// merged by the linker when their members were made into events.
#pragma once

#include "Form.h"

struct TCloseCounter {
    int Calls = 0;
    TCloseAction Answer = caHide;
    void FormClose(TObject*, TCloseAction& action)
    {
        ++Calls;
        action = Answer;
    }
};
