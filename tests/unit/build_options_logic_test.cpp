// The build option dialogs' logic: the boxes, Default, OK and what each writes.
#include <gtest/gtest.h>

#include "fakes.h"
#include "settings/build_options_logic.h"

namespace {

using Pair = std::array<std::wstring, 2>;

std::wstring Stored(FakeProgram& p, const wchar_t* name) {
    return p.registry.Has(RegRoot::LocalMachine, L"Software\\asm", name)
               ? p.registry.ReadValue(RegRoot::LocalMachine, L"Software\\asm", name).text
               : L"(none)";
}

TEST(BuildOptions, LoadFillsTheBoxesOfItsKindAndDefaultFillsThemWithoutWriting) {
    FakeProgram p;
    SharedSettings& s = p.settings;
    s.opt16EXETasm = L"a", s.opt32EXETlink = L"d", s.opt16COMTasm = L"e", s.opt32COMTlink = L"h";
    const OptionBoxes exe = BuildOptionsLogic(OptionsKind::Exe, p.context).Form_Load();
    EXPECT_EQ(exe.tasm, (Pair{L"a", L""}));
    EXPECT_EQ(exe.tlink, (Pair{L"", L"d"}));
    EXPECT_EQ(exe.save, (std::array<bool, 2>{false, false}));
    EXPECT_EQ(p.system.caretBlink, 700u);
    BuildOptionsLogic com(OptionsKind::Com, p.context);
    OptionBoxes boxes = com.Form_Load();
    EXPECT_EQ(boxes.tasm, (Pair{L"e", L""}));
    EXPECT_EQ(boxes.tlink, (Pair{L"", L"h"}));

    com.Command1_Click(boxes);  // Default: the strings take the defaults at once; Cancel only closes
    EXPECT_EQ(boxes.tasm, (Pair{L"/z /zi /n /m2", L"/z /zi /n /m2"}));
    EXPECT_EQ(boxes.tlink, (Pair{L"/x /v /t", L"/x /v /t /3"}));
    EXPECT_EQ(boxes.save, (std::array<bool, 2>{true, true}));
    EXPECT_EQ(s.opt32COMTlink, L"/x /v /t /3");
    EXPECT_EQ(s.opt32EXETlink, L"d") << "the EXE strings belong to the other dialog";
    EXPECT_TRUE(p.registry.log.empty());
}

TEST(BuildOptions, OkWritesTheTickedKindsAsTypedAndUpdatesEveryString) {
    FakeProgram p;
    BuildOptionsLogic exe(OptionsKind::Exe, p.context);
    OptionBoxes boxes = exe.Form_Load();
    boxes.tasm = {L"/t16", L"  /t32   /ml \x0416 "};
    boxes.tlink = {L"/l16", L""};  // a cleared box is stored as an empty string
    boxes.save = {false, true};
    EXPECT_TRUE(exe.cmdOK_Click(boxes));
    EXPECT_EQ(p.registry.log, (std::vector<std::wstring>{L"write HKLM\\Software\\asm\\32btasmEXE",
                                                         L"write HKLM\\Software\\asm\\32btlinkEXE"}));
    EXPECT_EQ(Stored(p, L"32btasmEXE"), L"  /t32   /ml \x0416 ");
    EXPECT_EQ(Stored(p, L"32btlinkEXE"), L"");
    EXPECT_EQ(p.settings.opt16EXETasm + p.settings.opt16EXETlink, L"/t16/l16");
    EXPECT_TRUE(p.messages.shown.empty());
}

TEST(BuildOptions, ARefusedWriteIsReportedAndStopsOkThere) {
    FakeProgram p;
    p.settings.opt32EXETasm = L"old32";
    BuildOptionsLogic exe(OptionsKind::Exe, p.context);
    OptionBoxes boxes{{L"/t16", L"/t32"}, {L"/l16", L"/l32"}, {false, true}};
    p.registry.refuseWrites.insert(RegRoot::LocalMachine);
    EXPECT_FALSE(exe.cmdOK_Click(boxes)) << "the dialog stays open";
    ASSERT_EQ(p.messages.shown.size(), 1u);
    EXPECT_EQ(p.messages.shown[0].text,
              L"The switches of the 32b EXE build were not saved in the registry "
              L"(HKLM\\Software\\asm\\32btasmEXE).\r\n\r\nTo use them until Korveline ends, untick \"Save "
              L"changes\" and press OK.\r\n\r\nError 5.");
    EXPECT_EQ(p.messages.shown[0].style, kMbOk | kMbIconStop);
    // What came before the failing write stays done; what came after is not done.
    EXPECT_EQ(p.settings.opt16EXETasm, L"/t16");
    EXPECT_EQ(p.settings.opt32EXETasm, L"old32");
    boxes.save = {false, false};  // unticked, the same OK applies the switches for this run
    EXPECT_TRUE(exe.cmdOK_Click(boxes));
    EXPECT_EQ(p.settings.opt32EXETlink, L"/l32");
}

}  // namespace
