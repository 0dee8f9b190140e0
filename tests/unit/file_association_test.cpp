// The .asm association: what a registration writes, and switching it off and on.
#include <gtest/gtest.h>

#include "fakes.h"
#include "shell/file_association.h"

namespace {

std::wstring DefaultOf(FakeRegistry& r, const std::wstring& key) {
    return r.ValuesOf(RegRoot::ClassesRoot, key).at(L"").value.text;
}

TEST(AssociationStrings, BuiltFromTheProgramsFolderAndName) {
    EXPECT_EQ(OpenCommand(L"C:\\Tools\\Asm", L"prog"), L"C:\\Tools\\Asm\\prog.exe %1");
    EXPECT_EQ(IconLocation(L"C:\\Tools\\Asm", L"prog"), L"C:\\Tools\\Asm\\prog.exe,0");
    // A drive root already ends in a backslash.
    EXPECT_EQ(OpenCommand(L"C:\\", L"prog"), L"C:\\prog.exe %1");
    EXPECT_EQ(IconLocation(L"C:\\", L"prog"), L"C:\\prog.exe,0");
    // Blanks are not quoted.
    EXPECT_EQ(OpenCommand(L"C:\\Program Files\\K v", L"korveline"),
              L"C:\\Program Files\\K v\\korveline.exe %1");
}

class AssociationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        p.system.folder = L"C:\\My Tools\\Korveline";
        p.system.name = L"korveline";
    }
    void ExpectRegistered() {
        EXPECT_EQ(DefaultOf(p.registry, L".asm"), L"Korveline.Qorvath");
        EXPECT_EQ(p.registry.ValuesOf(RegRoot::ClassesRoot, L".asm").at(L"content type").value.text,
                  L"Korveline");
        EXPECT_EQ(DefaultOf(p.registry, L"Korveline.Qorvath\\Shell\\Open\\command"),
                  L"C:\\My Tools\\Korveline\\korveline.exe %1");
        EXPECT_EQ(DefaultOf(p.registry, L"Korveline.Qorvath\\DefaultIcon"),
                  L"C:\\My Tools\\Korveline\\korveline.exe,0");
        EXPECT_EQ(p.registry.ValuesOf(RegRoot::LocalMachine, L"Software\\asm").at(L"asmfiles").value.number,
                  1u);
        EXPECT_TRUE(view.regChecked);
    }
    FakeProgram p;
    FakeMainView view;
};

TEST_F(AssociationTest, ToggleRegistersRemovesAndRegistersAgain) {
    ToggleAsmFiles(p.platform, p.regShell, view);
    ExpectRegistered();

    ToggleAsmFiles(p.platform, p.regShell, view);
    EXPECT_FALSE(p.registry.HasKey(RegRoot::ClassesRoot, L".asm"));
    EXPECT_FALSE(p.registry.HasKey(RegRoot::ClassesRoot, L"Korveline.Qorvath"))
        << "the sub-keys go first so the key itself can go";
    EXPECT_FALSE(view.regChecked);
    EXPECT_EQ(p.registry.ValuesOf(RegRoot::LocalMachine, L"Software\\asm").at(L"asmfiles").value.number, 0u);

    p.system.folder = L"D:\\";  // the program has moved to a drive root
    ToggleAsmFiles(p.platform, p.regShell, view);
    EXPECT_EQ(DefaultOf(p.registry, L"Korveline.Qorvath\\Shell\\Open\\command"), L"D:\\korveline.exe %1");
    EXPECT_TRUE(view.regChecked);
}

TEST_F(AssociationTest, ClickDecidesByTheCheckMarkAloneAndRegisteringReplacesAnOldRegistration) {
    // Registered keys of another program but an unchecked item: a click registers.
    p.registry.SetString(RegRoot::ClassesRoot, L".asm", L"", L"OtherEditor.File");
    p.registry.SetString(RegRoot::ClassesRoot, L".asm", L"PerceivedType", L"text");
    p.registry.SetString(RegRoot::ClassesRoot, L"Korveline.Qorvath\\Shell\\Open\\command", L"",
                         L"C:\\old\\k.exe %1");
    p.registry.SetDword(RegRoot::LocalMachine, L"Software\\asm", L"asmfiles", 0);
    ToggleAsmFiles(p.platform, p.regShell, view);
    ExpectRegistered();
    EXPECT_FALSE(p.registry.HasValue(RegRoot::ClassesRoot, L".asm", L"PerceivedType"));
}

TEST_F(AssociationTest, RemovalLeavesSubKeysOfOtherProgramsAlone) {
    RegisterAsmFiles(p.platform, p.regShell, view);
    p.registry.SetString(RegRoot::ClassesRoot, L"Korveline.Qorvath\\Shell\\Print\\command", L"",
                         L"printer %1");
    ToggleAsmFiles(p.platform, p.regShell, view);
    EXPECT_FALSE(p.registry.HasKey(RegRoot::ClassesRoot, L"Korveline.Qorvath\\Shell\\Open"));
    EXPECT_FALSE(p.registry.HasKey(RegRoot::ClassesRoot, L"Korveline.Qorvath\\DefaultIcon"));
    EXPECT_TRUE(p.registry.HasKey(RegRoot::ClassesRoot, L"Korveline.Qorvath\\Shell\\Print\\command"));
    EXPECT_FALSE(view.regChecked);
}

TEST_F(AssociationTest, RefusedWriteStopsBeforeTheFlagAndTheCheckMark) {
    p.registry.refuseWrites.insert(RegRoot::ClassesRoot);
    EXPECT_THROW(ToggleAsmFiles(p.platform, p.regShell, view), PlatformError);
    EXPECT_FALSE(view.regChecked);
    EXPECT_FALSE(p.registry.HasValue(RegRoot::LocalMachine, L"Software\\asm", L"asmfiles"));

    // Removing when HKLM refuses: the keys go, the check mark goes, the flag stays.
    p.registry.refuseWrites.clear();
    RegisterAsmFiles(p.platform, p.regShell, view);
    p.registry.refuseWrites.insert(RegRoot::LocalMachine);
    EXPECT_THROW(ToggleAsmFiles(p.platform, p.regShell, view), PlatformError);
    EXPECT_FALSE(p.registry.HasKey(RegRoot::ClassesRoot, L".asm"));
    EXPECT_FALSE(view.regChecked);
    EXPECT_EQ(p.registry.ValuesOf(RegRoot::LocalMachine, L"Software\\asm").at(L"asmfiles").value.number, 1u);
}

}  // namespace
