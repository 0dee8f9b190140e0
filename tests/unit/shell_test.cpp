// The .asm association: registering over an old registration, removing only its own keys.
#include <gtest/gtest.h>

#include "fakes.h"
#include "shell/file_association.h"

namespace {

// Registering replaces what .asm held; removing leaves other programs' sub-keys;
// a refused write stops before the flag.
TEST(Association, ToggleRegistersOverAnOldRegistrationAndRemovesOnlyItsOwnKeys) {
    FakeProgram p;
    bool checked = false;  // mnuReg
    const auto read = [&](Text key, const wchar_t* name = L"") {
        return p.registry.ReadValue(RegRoot::ClassesRoot, key, name).text;
    };
    const wchar_t kCommand[] = L"Korveline.Qorvath\\Shell\\Open\\command";
    p.registry.Set(RegRoot::ClassesRoot, L".asm", L"PerceivedType", RegText(L"text"));
    p.system.folder = L"C:\\My Tools";
    ToggleAsmFiles(p.platform, p.regShell, checked);
    EXPECT_EQ(read(L".asm") + L"|" + read(L".asm", L"Content Type"), L"Korveline.Qorvath|Korveline");
    EXPECT_EQ(read(kCommand) + L"|" + read(L"Korveline.Qorvath\\DefaultIcon"),
              L"C:\\My Tools\\korveline.exe %1|C:\\My Tools\\korveline.exe,0");
    EXPECT_FALSE(p.registry.Has(RegRoot::ClassesRoot, L".asm", L"PerceivedType"));
    EXPECT_TRUE(checked);
    ToggleAsmFiles(p.platform, p.regShell, checked);
    EXPECT_FALSE(p.registry.HasKey(RegRoot::ClassesRoot, L"Korveline.Qorvath") || checked);
    EXPECT_EQ(p.registry.ReadValue(RegRoot::LocalMachine, L"Software\\asm", L"asmfiles").number, 0u);

    p.system.folder = L"D:\\";
    ToggleAsmFiles(p.platform, p.regShell, checked);
    EXPECT_EQ(read(kCommand), L"D:\\korveline.exe %1");
    p.registry.Set(RegRoot::ClassesRoot, L"Korveline.Qorvath\\Shell\\Print\\command", L"", RegText(L"pr %1"));
    p.registry.refuseWrites = {RegRoot::LocalMachine};
    EXPECT_THROW(ToggleAsmFiles(p.platform, p.regShell, checked), PlatformError);
    EXPECT_FALSE(p.registry.HasKey(RegRoot::ClassesRoot, L"Korveline.Qorvath\\Shell\\Open") || checked);
    EXPECT_TRUE(p.registry.HasKey(RegRoot::ClassesRoot, L"Korveline.Qorvath\\Shell\\Print\\command"));
    EXPECT_EQ(p.registry.ReadValue(RegRoot::LocalMachine, L"Software\\asm", L"asmfiles").number, 1u);
    p.registry.refuseWrites = {RegRoot::ClassesRoot};
    EXPECT_THROW(ToggleAsmFiles(p.platform, p.regShell, checked), PlatformError);
    EXPECT_FALSE(checked);
    EXPECT_EQ(p.registry.ReadValue(RegRoot::LocalMachine, L"Software\\asm", L"asmfiles").number, 1u);
}

}  // namespace
