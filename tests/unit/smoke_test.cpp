#include <gtest/gtest.h>
#include "build/recode.h"
TEST(Smoke, Recode) { EXPECT_EQ(WinToDos(L"a"), L"a"); }
