// The .asm association: what a registration writes, and switching it off and on.
#include <gtest/gtest.h>

#include "fakes.h"
#include "shell/file_association.h"

namespace {

const wchar_t kCommand[] = L"Korveline.Qorvath\\Shell\\Open\\command";

// Registering replaces whatever .asm held; the program's path is not quoted,
// and a drive root already ends in a backslash. Removing leaves sub-keys of
// other programs alone, deleting its own deepest first.
TEST(Association, ToggleRegistersOverAnOldRegistrationAndRemovesOnlyItsOwnKeys) {
    FakeProgram p;
    FakeMainView view;
    const auto read = [&](const std::wstring& key, const wchar_t* name = L"") {
        return p.registry.ReadValue(RegRoot::ClassesRoot, key, name).text;
    };
    p.registry.Set(RegRoot::ClassesRoot, L".asm", L"PerceivedType", RegText(L"text"));
    p.system.folder = L"C:\\My Tools";
    ToggleAsmFiles(p.platform, p.regShell, view);
    EXPECT_EQ(read(L".asm") + L"|" + read(L".asm", L"Content Type"), L"Korveline.Qorvath|Korveline");
    EXPECT_EQ(read(kCommand), L"C:\\My Tools\\korveline.exe %1");
    EXPECT_EQ(read(L"Korveline.Qorvath\\DefaultIcon"), L"C:\\My Tools\\korveline.exe,0");
    EXPECT_FALSE(p.registry.Has(RegRoot::ClassesRoot, L".asm", L"PerceivedType"));
    EXPECT_TRUE(view.regChecked);
    ToggleAsmFiles(p.platform, p.regShell, view);
    EXPECT_FALSE(p.registry.HasKey(RegRoot::ClassesRoot, L"Korveline.Qorvath") ||
                 p.registry.HasKey(RegRoot::ClassesRoot, L".asm"));
    EXPECT_EQ(p.registry.ReadValue(RegRoot::LocalMachine, L"Software\\asm", L"asmfiles").number, 0u);

    p.system.folder = L"D:\\";
    ToggleAsmFiles(p.platform, p.regShell, view);
    EXPECT_EQ(read(kCommand), L"D:\\korveline.exe %1");
    p.registry.Set(RegRoot::ClassesRoot, L"Korveline.Qorvath\\Shell\\Print\\command", L"", RegText(L"pr %1"));
    ToggleAsmFiles(p.platform, p.regShell, view);
    EXPECT_FALSE(p.registry.HasKey(RegRoot::ClassesRoot, L"Korveline.Qorvath\\Shell\\Open") ||
                 p.registry.HasKey(RegRoot::ClassesRoot, L"Korveline.Qorvath\\DefaultIcon"));
    EXPECT_TRUE(p.registry.HasKey(RegRoot::ClassesRoot, L"Korveline.Qorvath\\Shell\\Print\\command"));
    EXPECT_FALSE(view.regChecked);
}

// A refused registration stops before the flag and the check mark; a removal
// that may not write the flag still removes the keys and the check mark.
TEST(Association, ARefusedWriteStopsBeforeTheFlag) {
    FakeProgram p;
    FakeMainView view;
    p.registry.refuseWrites = {RegRoot::ClassesRoot};
    EXPECT_THROW(ToggleAsmFiles(p.platform, p.regShell, view), PlatformError);
    EXPECT_FALSE(view.regChecked || p.registry.Has(RegRoot::LocalMachine, L"Software\\asm", L"asmfiles"));
    p.registry.refuseWrites = {RegRoot::LocalMachine};
    view.regChecked = true;
    p.registry.Set(RegRoot::ClassesRoot, L".asm", L"", RegText(L"Korveline.Qorvath"));
    EXPECT_THROW(ToggleAsmFiles(p.platform, p.regShell, view), PlatformError);
    EXPECT_FALSE(view.regChecked || p.registry.HasKey(RegRoot::ClassesRoot, L".asm"));
}

}  // namespace
