#include <gtest/gtest.h>

#include "fakes.h"

TEST(LoadSettings, Compiles) {
    FakeProgram p;
    FakeMainView view;
    SettingsFields fields;
    LoadSettings(p.context, fields, view, [] {});
    EXPECT_TRUE(p.registry.HasKey(RegRoot::LocalMachine, L"Software\\asm"));
}
