#include <gtest/gtest.h>

#include "fakes.h"
#include "settings/build_options_logic.h"

namespace {

const wchar_t kKey[] = L"Software\\asm";

class BuildOptionsTest : public ::testing::Test {
  protected:
    FakeProgram p;

    std::wstring Stored(const wchar_t* name) const {
        return p.registry.ValuesOf(RegRoot::LocalMachine, kKey).at(Lower(name)).value.text;
    }
    bool Has(const wchar_t* name) const { return p.registry.HasValue(RegRoot::LocalMachine, kKey, name); }
    std::size_t Writes() const { return p.registry.log.size(); }
};

TEST_F(BuildOptionsTest, LoadFillsTheBoxesFromTheProgramWideStringsUnticked) {
    p.settings.opt16EXETasm = L"a";
    p.settings.opt16EXETlink = L"b";
    p.settings.opt32EXETasm = L"c";
    p.settings.opt32EXETlink = L"d";
    p.settings.opt16COMTasm = L"e";
    p.settings.opt32COMTlink = L"h";

    const OptionBoxes exe = BuildOptionsLogic(OptionsKind::Exe, p.context).Form_Load();
    EXPECT_EQ(exe.tasm, (std::array<std::wstring, 2>{L"a", L"c"}));
    EXPECT_EQ(exe.tlink, (std::array<std::wstring, 2>{L"b", L"d"}));
    EXPECT_EQ(exe.save, (std::array<bool, 2>{false, false}));
    EXPECT_EQ(p.system.caretBlink, 700u);

    const OptionBoxes com = BuildOptionsLogic(OptionsKind::Com, p.context).Form_Load();
    EXPECT_EQ(com.tasm, (std::array<std::wstring, 2>{L"e", L""}));
    EXPECT_EQ(com.tlink, (std::array<std::wstring, 2>{L"", L"h"}));
    EXPECT_EQ(Writes(), 0u) << "the dialogs read nothing from and write nothing to the registry on load";
}

TEST_F(BuildOptionsTest, DefaultThenCancelChangesTheStringsButNotTheRegistry) {
    BuildOptionsLogic exe(OptionsKind::Exe, p.context);
    OptionBoxes boxes = exe.Form_Load();
    exe.Command1_Click(boxes);
    EXPECT_EQ(boxes.tasm, (std::array<std::wstring, 2>{L"/z /zi /n /m2", L"/z /zi /n /m2"}));
    EXPECT_EQ(boxes.tlink, (std::array<std::wstring, 2>{L"/x /v", L"/x /v /3"}));
    EXPECT_EQ(boxes.save, (std::array<bool, 2>{true, true}));
    // Cancel is nothing but closing: the strings already hold the defaults.
    EXPECT_EQ(p.settings.opt16EXETlink, L"/x /v");
    EXPECT_EQ(p.settings.opt32EXETlink, L"/x /v /3");
    EXPECT_EQ(p.settings.opt16COMTlink, L"") << "the COM strings belong to the other dialog";
    EXPECT_EQ(Writes(), 0u);

    const OptionBoxes reopened = BuildOptionsLogic(OptionsKind::Exe, p.context).Form_Load();
    EXPECT_EQ(reopened.tlink[1], L"/x /v /3");
    EXPECT_EQ(reopened.save, (std::array<bool, 2>{false, false}));
}

TEST_F(BuildOptionsTest, DefaultThenOkWritesBothKindsOfThatDialog) {
    BuildOptionsLogic com(OptionsKind::Com, p.context);
    OptionBoxes boxes = com.Form_Load();
    com.Command1_Click(boxes);
    EXPECT_TRUE(com.cmdOK_Click(boxes));
    EXPECT_EQ(Stored(L"16btasmCOM"), L"/z /zi /n /m2");
    EXPECT_EQ(Stored(L"16btlinkCOM"), L"/x /v /t");
    EXPECT_EQ(Stored(L"32btasmCOM"), L"/z /zi /n /m2");
    EXPECT_EQ(Stored(L"32btlinkCOM"), L"/x /v /t /3");
    EXPECT_EQ(p.registry.log,
              (std::vector<std::wstring>{
                  L"write HKLM\\Software\\asm\\16btasmCOM", L"write HKLM\\Software\\asm\\16btlinkCOM",
                  L"write HKLM\\Software\\asm\\32btasmCOM", L"write HKLM\\Software\\asm\\32btlinkCOM"}));
    EXPECT_FALSE(Has(L"16btasmEXE"));
    EXPECT_TRUE(p.messages.shown.empty());
}

TEST_F(BuildOptionsTest, OkWritesOnlyTheTickedKindButUpdatesEveryString) {
    BuildOptionsLogic exe(OptionsKind::Exe, p.context);
    OptionBoxes boxes = exe.Form_Load();
    boxes.tasm = {L"/t16", L"  /t32   /ml \x0416 "};  // taken exactly as typed
    boxes.tlink = {L"/l16", L""};                     // a cleared box
    boxes.save = {false, true};
    EXPECT_TRUE(exe.cmdOK_Click(boxes));

    EXPECT_FALSE(Has(L"16btasmEXE"));
    EXPECT_FALSE(Has(L"16btlinkEXE"));
    EXPECT_EQ(Stored(L"32btasmEXE"), L"  /t32   /ml \x0416 ");
    EXPECT_TRUE(Has(L"32btlinkEXE"));
    EXPECT_EQ(Stored(L"32btlinkEXE"), L"") << "a cleared box is stored as an empty string";
    EXPECT_EQ(p.settings.opt16EXETasm, L"/t16");
    EXPECT_EQ(p.settings.opt16EXETlink, L"/l16");
    EXPECT_EQ(p.settings.opt32EXETasm, L"  /t32   /ml \x0416 ");
    EXPECT_EQ(p.settings.opt32EXETlink, L"");
}

TEST_F(BuildOptionsTest, RefusedWriteIsReportedAndStopsOkThere) {
    p.settings.opt32EXETasm = L"old32";
    BuildOptionsLogic exe(OptionsKind::Exe, p.context);
    OptionBoxes boxes = exe.Form_Load();
    boxes.tasm = {L"/t16", L"/t32"};
    boxes.tlink = {L"/l16", L"/l32"};
    boxes.save = {false, true};
    p.registry.refuseWrites.insert(RegRoot::LocalMachine);

    EXPECT_FALSE(exe.cmdOK_Click(boxes)) << "the dialog stays open";
    ASSERT_EQ(p.messages.shown.size(), 1u);
    const std::wstring& text = p.messages.shown[0].text;
    EXPECT_NE(text.find(L"32b EXE"), std::wstring::npos) << std::string(text.begin(), text.end());
    EXPECT_NE(text.find(L"HKLM\\Software\\asm\\32btasmEXE"), std::wstring::npos);
    EXPECT_NE(text.find(L"Error 5."), std::wstring::npos);
    EXPECT_EQ(p.messages.shown[0].style, kMbOk | kMbIconStop);
    // What came before the failing write stays done; what came after is not done.
    EXPECT_EQ(p.settings.opt16EXETasm, L"/t16");
    EXPECT_EQ(p.settings.opt32EXETasm, L"old32");

    // Unticked, the same OK applies the switches for this run.
    p.messages.shown.clear();
    boxes.save = {false, false};
    EXPECT_TRUE(exe.cmdOK_Click(boxes));
    EXPECT_TRUE(p.messages.shown.empty());
    EXPECT_EQ(p.settings.opt32EXETlink, L"/l32");
}

}  // namespace
