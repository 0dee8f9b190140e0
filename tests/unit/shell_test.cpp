// The .asm association. Registering points .asm at the program in its folder and ticks the menu; removing
// takes its keys and the tick; a refused write stops before the flag. Its keys in the real registry are
// checked end to end.
#include <gtest/gtest.h>

#include "fakes.h"
#include "shell/file_association.h"

namespace {

// After each toggle: the open command, the flag, the tick.
TEST(Association, EachToggleLeavesTheCommandTheFlagAndTheTick) {
    FakeProgram p;
    bool checked = false;  // mnuReg
    std::wstring seen;
    const wchar_t kCommand[] = L"Korveline.Qorvath\\Shell\\Open\\command";
    for (const RegRoot refused :
         {RegRoot::Users, RegRoot::Users, RegRoot::Users, RegRoot::LocalMachine, RegRoot::ClassesRoot}) {
        p.registry.refuseWrites = {refused}, p.system.folder = L"D:\\";
        seen += SkipOnFailure([&] { ToggleAsmFiles(p.platform, p.regShell, checked); }) ? L"" : L"refused ";
        seen += p.registry.Has(RegRoot::ClassesRoot, kCommand, L"")
                    ? p.registry.ReadValue(RegRoot::ClassesRoot, kCommand, L"").text
                    : L"-";
        seen += L" " +
                std::to_wstring(
                    p.registry.ReadValue(RegRoot::LocalMachine, L"Software\\asm", L"asmfiles").number) +
                (checked ? L" ticked|" : L"|");
    }
    EXPECT_EQ(seen,
              L"D:\\korveline.exe %1 1 ticked|- 0|D:\\korveline.exe %1 1 ticked|refused - 1|refused - 1|");
}

}  // namespace
