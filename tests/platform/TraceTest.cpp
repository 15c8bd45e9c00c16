#include "Trace.h"

#include <gtest/gtest.h>

TEST(Trace, FormatsWithoutCrashingWhenDisabledOrEnabled)
{
    // Whatever the environment, a long line must be cut safely.
    std::string longText(2000, 'x');
    ksr::trace("%s", longText.c_str());
    SUCCEED();
}
