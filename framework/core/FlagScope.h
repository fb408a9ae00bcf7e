// A flag set for as long as a scope lasts and put back as it was when the
// scope ends, also when an exception leaves it (re-entrancy guards).
#pragma once

class TFlagScope {
public:
    explicit TFlagScope(bool& flag, bool value = true) : FFlag(flag), FOld(flag) { flag = value; }
    ~TFlagScope() { FFlag = FOld; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
    bool FOld;
};
