// The build option dialogs' logic: the boxes, Default, OK and what each writes.
#include <gtest/gtest.h>

#include "fakes.h"
#include "settings/build_options_logic.h"

namespace {

using Pair = std::array<std::wstring, 2>;

std::wstring Stored(const FakeProgram& p, const wchar_t* name) {
    const auto& values = p.registry.ValuesOf(RegRoot::LocalMachine, L"Software\\asm");
    return values.count(Lower(name)) ? values.at(Lower(name)).value.text : L"(none)";
}

TEST(BuildOptions, LoadFillsTheBoxesFromTheProgramWideStringsUnticked) {
    FakeProgram p;
    SharedSettings& s = p.settings;
    s.opt16EXETasm = L"a", s.opt16EXETlink = L"b", s.opt32EXETasm = L"c", s.opt32EXETlink = L"d";
    s.opt16COMTasm = L"e", s.opt32COMTlink = L"h";
    const OptionBoxes exe = BuildOptionsLogic(OptionsKind::Exe, p.context).Form_Load();
    EXPECT_EQ(exe.tasm, (Pair{L"a", L"c"}));
    EXPECT_EQ(exe.tlink, (Pair{L"b", L"d"}));
    EXPECT_EQ(exe.save, (std::array<bool, 2>{false, false}));
    EXPECT_EQ(p.system.caretBlink, 700u);
    const OptionBoxes com = BuildOptionsLogic(OptionsKind::Com, p.context).Form_Load();
    EXPECT_EQ(com.tasm, (Pair{L"e", L""}));
    EXPECT_EQ(com.tlink, (Pair{L"", L"h"}));
    EXPECT_TRUE(p.registry.log.empty());
}

TEST(BuildOptions, DefaultFillsAndTicksBothKindsOfItsDialogAndOkWritesThem) {
    FakeProgram p;
    BuildOptionsLogic exe(OptionsKind::Exe, p.context);
    OptionBoxes boxes = exe.Form_Load();
    exe.Command1_Click(boxes);
    EXPECT_EQ(boxes.tasm, (Pair{L"/z /zi /n /m2", L"/z /zi /n /m2"}));
    EXPECT_EQ(boxes.tlink, (Pair{L"/x /v", L"/x /v /3"}));
    EXPECT_EQ(boxes.save, (std::array<bool, 2>{true, true}));
    // Cancel is nothing but closing: the strings already hold the defaults.
    EXPECT_EQ(p.settings.opt32EXETlink, L"/x /v /3");
    EXPECT_EQ(p.settings.opt16COMTlink, L"") << "the COM strings belong to the other dialog";
    EXPECT_TRUE(p.registry.log.empty());

    BuildOptionsLogic com(OptionsKind::Com, p.context);
    boxes = com.Form_Load();
    com.Command1_Click(boxes);
    EXPECT_TRUE(com.cmdOK_Click(boxes));
    EXPECT_EQ(p.registry.log,
              (std::vector<std::wstring>{
                  L"write HKLM\\Software\\asm\\16btasmCOM", L"write HKLM\\Software\\asm\\16btlinkCOM",
                  L"write HKLM\\Software\\asm\\32btasmCOM", L"write HKLM\\Software\\asm\\32btlinkCOM"}));
    EXPECT_EQ(Stored(p, L"16btlinkCOM"), L"/x /v /t");
    EXPECT_EQ(Stored(p, L"32btlinkCOM"), L"/x /v /t /3");
    EXPECT_EQ(Stored(p, L"32btasmCOM"), L"/z /zi /n /m2");
    EXPECT_TRUE(p.messages.shown.empty());
}

TEST(BuildOptions, OkWritesOnlyTheTickedKindButUpdatesEveryString) {
    FakeProgram p;
    BuildOptionsLogic exe(OptionsKind::Exe, p.context);
    OptionBoxes boxes = exe.Form_Load();
    boxes.tasm = {L"/t16", L"  /t32   /ml \x0416 "};  // taken exactly as typed
    boxes.tlink = {L"/l16", L""};                     // a cleared box
    boxes.save = {false, true};
    EXPECT_TRUE(exe.cmdOK_Click(boxes));
    EXPECT_EQ(Stored(p, L"16btasmEXE"), L"(none)");
    EXPECT_EQ(Stored(p, L"16btlinkEXE"), L"(none)");
    EXPECT_EQ(Stored(p, L"32btasmEXE"), L"  /t32   /ml \x0416 ");
    EXPECT_EQ(Stored(p, L"32btlinkEXE"), L"") << "a cleared box is stored as an empty string";
    EXPECT_EQ(p.settings.opt16EXETasm + p.settings.opt16EXETlink, L"/t16/l16");
    EXPECT_EQ(p.settings.opt32EXETlink, L"");
}

TEST(BuildOptions, ARefusedWriteIsReportedAndStopsOkThere) {
    FakeProgram p;
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
    EXPECT_NE(text.find(L"32b EXE"), std::wstring::npos);
    EXPECT_NE(text.find(L"HKLM\\Software\\asm\\32btasmEXE"), std::wstring::npos);
    EXPECT_NE(text.find(L"Error 5."), std::wstring::npos);
    EXPECT_EQ(p.messages.shown[0].style, kMbOk | kMbIconStop);
    // What came before the failing write stays done; what came after is not done.
    EXPECT_EQ(p.settings.opt16EXETasm, L"/t16");
    EXPECT_EQ(p.settings.opt32EXETasm, L"old32");
    boxes.save = {false, false};  // unticked, the same OK applies the switches for this run
    EXPECT_TRUE(exe.cmdOK_Click(boxes));
    EXPECT_EQ(p.settings.opt32EXETlink, L"/l32");
}

}  // namespace
