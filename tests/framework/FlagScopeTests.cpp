#include "FlagScope.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(FlagScope, SetsTheFlagAndPutsBackWhatItWas)
{
    bool flag = false;
    {
        TFlagScope scope(flag);
        EXPECT_TRUE(flag);
        {
            TFlagScope inner(flag, false);
            EXPECT_FALSE(flag);
        }
        // The inner scope restores the outer one's value, not false.
        EXPECT_TRUE(flag);
    }
    EXPECT_FALSE(flag);
}

TEST(FlagScope, PutsTheFlagBackWhenAnExceptionLeaves)
{
    bool flag = true;
    try {
        TFlagScope scope(flag, false);
        throw std::runtime_error("out");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(flag);
}
