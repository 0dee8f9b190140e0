// The .asm association: what a registration writes, and switching it off and on.
#include <gtest/gtest.h>

#include "fakes.h"
#include "shell/file_association.h"

namespace {

const wchar_t kProgram[] = L"Korveline.Qorvath";

class AssociationTest : public ::testing::Test {
  protected:
    std::wstring Read(RegRoot root, const std::wstring& key, const wchar_t* name = L"") {
        return p.registry.ReadValue(root, key, name).text;
    }
    std::uint32_t Flag() {
        return p.registry.ReadValue(RegRoot::LocalMachine, L"Software\\asm", L"asmfiles").number;
    }
    void ExpectRegistered(const std::wstring& programPath) {
        EXPECT_EQ(Read(RegRoot::ClassesRoot, L".asm"), kProgram);
        EXPECT_EQ(Read(RegRoot::ClassesRoot, L".asm", L"Content Type"), L"Korveline");
        EXPECT_EQ(Read(RegRoot::ClassesRoot, L"Korveline.Qorvath\\Shell\\Open\\command"),
                  programPath + L" %1");
        EXPECT_EQ(Read(RegRoot::ClassesRoot, L"Korveline.Qorvath\\DefaultIcon"), programPath + L",0");
        EXPECT_EQ(Flag(), 1u);
        EXPECT_TRUE(view.regChecked);
    }
    FakeProgram p;
    FakeMainView view;
};

// The check mark alone decides; registering replaces whatever .asm held, and
// removing leaves sub-keys of other programs alone.
TEST_F(AssociationTest, ToggleRegistersReplacingAnOldRegistrationRemovesAndRegistersAgain) {
    p.registry.Set(RegRoot::ClassesRoot, L".asm", L"", RegText(L"OtherEditor.File"));
    p.registry.Set(RegRoot::ClassesRoot, L".asm", L"PerceivedType", RegText(L"text"));
    p.system.folder = L"C:\\My Tools\\Korveline";  // blanks are not quoted
    ToggleAsmFiles(p.platform, p.regShell, view);
    ExpectRegistered(L"C:\\My Tools\\Korveline\\korveline.exe");
    EXPECT_FALSE(p.registry.Has(RegRoot::ClassesRoot, L".asm", L"PerceivedType"));

    ToggleAsmFiles(p.platform, p.regShell, view);
    EXPECT_FALSE(p.registry.HasKey(RegRoot::ClassesRoot, L".asm"));
    EXPECT_FALSE(p.registry.HasKey(RegRoot::ClassesRoot, kProgram)) << "the sub-keys go first";
    EXPECT_FALSE(view.regChecked);
    EXPECT_EQ(Flag(), 0u);

    p.system.folder = L"D:\\";  // the program has moved to a drive root, which ends in a backslash
    ToggleAsmFiles(p.platform, p.regShell, view);
    ExpectRegistered(L"D:\\korveline.exe");
    p.registry.Set(RegRoot::ClassesRoot, L"Korveline.Qorvath\\Shell\\Print\\command", L"", RegText(L"pr %1"));
    ToggleAsmFiles(p.platform, p.regShell, view);
    EXPECT_FALSE(p.registry.HasKey(RegRoot::ClassesRoot, L"Korveline.Qorvath\\Shell\\Open"));
    EXPECT_FALSE(p.registry.HasKey(RegRoot::ClassesRoot, L"Korveline.Qorvath\\DefaultIcon"));
    EXPECT_TRUE(p.registry.HasKey(RegRoot::ClassesRoot, L"Korveline.Qorvath\\Shell\\Print\\command"));
}

TEST_F(AssociationTest, ARefusedWriteStopsBeforeTheFlagAndTheCheckMark) {
    p.registry.refuseWrites.insert(RegRoot::ClassesRoot);
    EXPECT_THROW(ToggleAsmFiles(p.platform, p.regShell, view), PlatformError);
    EXPECT_FALSE(view.regChecked);
    EXPECT_FALSE(p.registry.Has(RegRoot::LocalMachine, L"Software\\asm", L"asmfiles"));

    // Removing when HKLM refuses: the keys go, the check mark goes, the flag stays.
    p.registry.refuseWrites = {RegRoot::LocalMachine};
    view.regChecked = true;
    p.registry.Set(RegRoot::LocalMachine, L"Software\\asm", L"asmfiles", RegNumber(1));
    p.registry.Set(RegRoot::ClassesRoot, L".asm", L"", RegText(kProgram));
    EXPECT_THROW(ToggleAsmFiles(p.platform, p.regShell, view), PlatformError);
    EXPECT_FALSE(p.registry.HasKey(RegRoot::ClassesRoot, L".asm"));
    EXPECT_FALSE(view.regChecked);
    EXPECT_EQ(Flag(), 1u);
}

}  // namespace
