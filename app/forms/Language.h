// The interface language: picked once at start from the user's default
// language. Text n of the interface is string-table entry Base + n.
#pragma once

class TLanguage {
public:
    enum Base {
        English = 0,
        German = 2000,
        French = 4000,
        Italian = 6000,
        Spanish = 8000,
        Japanese = 10000,
        Dutch = 14000,
    };

    int GetBase() const { return BaseValue; }
    // Base for the user's default language; also switches the string
    // loading to code page 932 for Japanese.
    int Detect();
    static int BaseForLanguageId(int langId);

private:
    int BaseValue = English;
};
