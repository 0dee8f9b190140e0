// The settings store, the registry object, the tool and option dialogs' logic, window places.
#include <gtest/gtest.h>

#include "fakes.h"
#include "settings/build_options_logic.h"
#include "settings/tool_path_logic.h"
#include "settings/user_settings.h"

namespace {

const wchar_t kKey[] = L"Software\\asm";
const RegRoot kHklm = RegRoot::LocalMachine;

// Loads as the start-up does (the registration sets only its flag); true when a first run wrote.
bool Load(FakeProgram& p, SettingsFields& fields) {
    p.registry.log.clear();
    const auto registration = [&] { p.registry.Set(kHklm, kKey, L"asmfiles", RegNumber(1)); };
    SkipOnFailure([&] { LoadSettings(p.context, fields, registration); });
    return !p.registry.log.empty();
}

std::wstring Switches(const SharedSettings& s) {
    return s.opt16EXETasm + L"|" + s.opt16EXETlink + L"|" + s.opt32EXETasm + L"|" + s.opt32EXETlink + L"|" +
           s.opt16COMTasm + L"|" + s.opt16COMTlink + L"|" + s.opt32COMTasm + L"|" + s.opt32COMTlink;
}
const wchar_t kFirstRun[] =
    L"/z /zi /n /m2|/x /v|/z /zi /n /m2|/x /v /3|/z /zi /n /m2|/x /v /t|/z /zi /n /m2|/x /v /t /3";

// The key, the marker, the ten strings in order, read at the next start. A refused
// first run runs again next time; one that may not create the key goes on.
TEST(SettingsStore, FirstRunWritesTheStoreInOrderAndOnlyTheNextStartLoadsIt) {
    FakeProgram p;
    SettingsFields fields;
    p.registry.refuseWrites.insert(kHklm);
    EXPECT_TRUE(Load(p, fields));
    EXPECT_FALSE(p.registry.Has(kHklm, kKey, L"asmfiles"));
    p.registry.refuseWrites.clear();
    p.registry.refuseCreateKey = true;
    ASSERT_TRUE(Load(p, fields));
    std::vector<std::wstring> log{L"createkey HKLM\\Software\\asm", L"write HKLM\\Software\\asm\\"};
    for (const wchar_t* name : {L"tasm", L"tlink", L"16btasmEXE", L"16btlinkEXE", L"32btasmEXE",
                                L"32btlinkEXE", L"16btasmCOM", L"16btlinkCOM", L"32btasmCOM", L"32btlinkCOM"})
        log.push_back(std::wstring(L"write HKLM\\Software\\asm\\") + name);
    EXPECT_EQ(p.registry.log, log);  // then the association registers
    EXPECT_EQ(Switches(p.settings), L"|||||||");
    SettingsFields next;
    EXPECT_FALSE(Load(p, next));
    EXPECT_EQ(next.settingsMarker + next.asmFilesFlag, 2);
    EXPECT_EQ(Switches(p.settings), kFirstRun);
    EXPECT_TRUE(next.mnuRegChecked && p.messages.shown.empty());
}

// A root (short or long name, any case), a key and a value name ("" for the default).
TEST(RegShell, PathsSplitIntoRootKeyAndValueName) {
    std::string roots;  // each root by its short and long name, in any case
    for (const wchar_t* name :
         {L"hkcr", L"HKEY_CLASSES_ROOT", L"HKCU", L"hkey_current_user", L"HKLM", L"hkey_local_machine",
          L"HKU", L"HKEY_USERS", L"HKCC", L"HKEY_CURRENT_CONFIG"})
        roots += std::to_string(static_cast<int>(ParseRegPath(std::wstring(name) + L"\\k\\v").root));
    EXPECT_EQ(roots, "0011223344");
    const RegPath value = ParseRegPath(L"HKLM\\Software\\asm\\tasm"), key = ParseRegPath(L"HKCR\\.asm\\");
    EXPECT_EQ(value.key + L"|" + value.name + L"|" + key.key + L"|" + key.name, L"Software\\asm|tasm|.asm|");
    for (const wchar_t* bad :
         {L"", L"HKLM", L"HKXX\\k\\v", L"Software\\asm\\tasm", L"HKLM\\tasm", L"HKLM\\\\"})
        EXPECT_THROW(ParseRegPath(bad), ProgramError) << std::string(bad, bad + wcslen(bad));
}

TEST(RegShell, SixteenBitConversion) {
    auto text = [](const wchar_t* t) { return RegVariant{RegVariant::Kind::Text, 0, t}; };
    auto number = [](std::int64_t n) { return RegVariant{RegVariant::Kind::Number, n, L""}; };
    const std::pair<RegVariant, std::optional<std::int16_t>> cases[] = {
        {number(32767), 32767}, {number(-32768), -32768}, {number(32768), {}},
        {number(-32769), {}},   {text(L"1"), 1},          {text(L" \t-32768 \t"), -32768},
        {text(L"+12"), 12},     {text(L"2.5"), 2},        {text(L"3.5"), 4},
        {text(L".75"), 1},      {text(L"40000"), {}},     {text(L"1x"), {}},
        {text(L"1 2"), {}},     {text(L" "), {}},         {text(L"-"), {}},
        {RegVariant{}, {}},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(ToInt16(value), expected)
            << std::string(value.text.begin(), value.text.end()) << value.number;
    EXPECT_THROW(RegVariant{}.ToString(), ProgramError);
    FakeRegistry registry;  // a REG_DWORD reads as a signed 32-bit number
    for (const auto& [stored, text] :
         {std::pair{5u, L"5"}, {0xFFFFFFFFu, L"-1"}, {0x80000000u, L"-2147483648"}}) {
        registry.Set(kHklm, kKey, L"v", RegNumber(stored));
        EXPECT_EQ(RegShell(registry).RegRead(L"HKLM\\Software\\asm\\v").ToString(), text);
    }
    RegShell reg(registry);  // either type in any case, from a number or a text; a key by its backslash
    reg.RegWrite(L"HKLM\\Software\\asm\\a", L" 2.5 ", L"reg_dword");
    reg.RegWrite(L"HKLM\\Software\\asm\\b", std::int64_t{-7}, L"Reg_Sz");
    EXPECT_EQ(reg.RegRead(L"HKLM\\Software\\asm\\a").ToString() + reg.RegRead(L"HKLM\\Software\\asm\\b").text,
              L"2-7");
    EXPECT_THROW(reg.RegWrite(L"HKLM\\Software\\asm\\c", L"x", L"REG_DWORD"), ProgramError);
    EXPECT_THROW(reg.RegWrite(L"HKLM\\Software\\asm\\c", L"1", L"REG_BINARY"), ProgramError);
    EXPECT_THROW(reg.RegWrite(L"HKLM\\Software\\asm\\c", std::int64_t{1}, L"REG_BINARY"), ProgramError);
    reg.RegDelete(L"HKLM\\Software\\asm\\");
    EXPECT_FALSE(registry.HasKey(kHklm, kKey) || registry.Has(kHklm, kKey, L"a"));
}

// OK takes any existing file as a plain string; a refused registry keeps it for this run.
TEST(ToolPath, OkTakesAnExistingFileAndStoresItAsAString) {
    FakeProgram p;
    p.files.Put(L"D:\\readme.txt", "hello");
    p.registry.Set(kHklm, kKey, L"TASM", RegNumber(7));
    EXPECT_TRUE(ToolPathLogic(ToolKind::Tasm, p.context).cmdOK_Click(L"D:\\readme.txt"));
    EXPECT_TRUE(ToolPathLogic(ToolKind::Tlink, p.context).cmdOK_Click(L"D:\\readme.txt"));
    EXPECT_EQ(p.registry.ReadValue(kHklm, kKey, L"tasm").type, RegType::String);
    EXPECT_EQ(p.registry.ReadValue(kHklm, kKey, L"tlink").text, L"D:\\readme.txt");
    EXPECT_EQ(p.registry.log[0] + p.registry.log[1],
              L"deletevalue HKLM\\Software\\asm\\tasmwrite HKLM\\Software\\asm\\tasm");
    EXPECT_FALSE(ToolPathLogic(ToolKind::Tlink, p.context).cmdOK_Click(L"C:\\nowhere\\tlink.exe"));
    p.registry.refuseWrites.insert(kHklm);
    EXPECT_FALSE(ToolPathLogic(ToolKind::Tasm, p.context).cmdOK_Click(L"D:\\readme.txt"));
    ASSERT_EQ(p.messages.shown.size(), 2u);
    EXPECT_EQ(p.messages.shown[0].text, L"It is not a 'tlink.exe' file.");
    EXPECT_EQ(p.messages.shown[1].text,
              L"The path of tasm.exe was not saved in the registry "
              L"(HKLM\\Software\\asm\\tasm). Korveline uses it only until it ends.\r\n\r\nError 5.");
    EXPECT_EQ(p.messages.shown[0].style + p.messages.shown[1].style, kMbIconInformation + kMbIconStop);
    p.dialogs.answers = {L"E:\\t\\tlink.exe", L"E:\\t\\Tasm.exe"};  // Browse: tasm's is taken at once
    EXPECT_TRUE(ToolPathLogic(ToolKind::Tlink, p.context).cmdBrowse_Click());
    EXPECT_EQ(p.settings.tasmPath + L"|" + p.settings.tlinkPath, L"D:\\readme.txt|D:\\readme.txt");
    EXPECT_EQ(ToolPathLogic(ToolKind::Tasm, p.context).cmdBrowse_Click().value_or(L"-") + p.settings.tasmPath,
              L"E:\\t\\Tasm.exeE:\\t\\Tasm.exe");
}

// Default applies the first-run strings at once; OK writes the ticked kinds and stops at a refused write.
TEST(BuildOptions, LoadDefaultAndOk) {
    FakeProgram p;
    p.settings.opt16EXETasm = L"a", p.settings.opt32COMTlink = L"h";
    const OptionBoxes exe = BuildOptionsLogic(OptionsKind::Exe, p.context).Form_Load();
    EXPECT_EQ(exe.tasm[0] + exe.tasm[1] + exe.tlink[0] + exe.tlink[1] + L"|" + std::to_wstring(exe.save[0]),
              L"a|0");
    EXPECT_EQ(p.system.caretBlink, 700u);
    BuildOptionsLogic com(OptionsKind::Com, p.context);
    OptionBoxes boxes = com.Form_Load();
    EXPECT_EQ(boxes.tlink[1], L"h");
    com.Command1_Click(boxes);
    EXPECT_EQ(boxes.tlink[0] + L"|" + boxes.tlink[1], L"/x /v /t|/x /v /t /3");
    EXPECT_EQ(boxes.save, (std::array<bool, 2>{true, true}));
    EXPECT_EQ(Switches(p.settings), L"a||||/z /zi /n /m2|/x /v /t|/z /zi /n /m2|/x /v /t /3");
    EXPECT_TRUE(p.registry.log.empty());

    BuildOptionsLogic options(OptionsKind::Exe, p.context);
    boxes = {{L"/a16", L"/a32"}, {L"/b16", L""}, {false, true}};
    EXPECT_TRUE(options.cmdOK_Click(boxes));
    EXPECT_EQ(p.registry.log, (std::vector<std::wstring>{L"write HKLM\\Software\\asm\\32btasmEXE",
                                                         L"write HKLM\\Software\\asm\\32btlinkEXE"}));
    p.registry.refuseWrites.insert(kHklm);
    boxes = {{L"/c16", L"/c32"}, {L"/d16", L"/d32"}, {false, true}};
    EXPECT_FALSE(options.cmdOK_Click(boxes)) << "the dialog stays open";
    EXPECT_EQ(p.messages.shown.at(0).text,
              std::wstring{L"The switches of the 32b EXE build were not saved in the registry "
                           L"(HKLM\\Software\\asm\\32btasmEXE).\r\n\r\nTo use them until Korveline "
                           L"ends, untick \"Save changes\" and press OK.\r\n\r\nError 5."});
    EXPECT_EQ(p.messages.shown[0].style, kMbOk | kMbIconStop);
    EXPECT_EQ(Switches(p.settings).substr(0, 19), L"/c16|/d16|/a32||/z ");
}

// A place comes back as saved; a missing, damaged or unlikely one gives none.
TEST(UserSettings, APlaceComesBackAsSavedAndADamagedOneGivesNone) {
    FakeRegistry registry;
    UserSettings user(registry);
    EXPECT_FALSE(user.WindowPlace(L"Results"));
    user.SetWindowPlace(L"Results", {-20, 30, 400, 250});
    const auto rect = user.WindowPlace(L"Results");
    ASSERT_TRUE(rect);
    EXPECT_EQ(std::vector<int>({rect->left, rect->top, rect->width, rect->height}),
              std::vector<int>({-20, 30, 400, 250}));
    std::wstring accepted;  // each value at the edges of what a window's place may be
    for (const wchar_t* name : {L"Left", L"Top", L"Width", L"Height"}) {
        for (int value : {-100001, -100000, 0, 100000, 100001}) {
            user.SetWindowPlace(L"R", {-20, 30, 400, 250});
            registry.Set(RegRoot::CurrentUser, L"Software\\Korveline\\R", name,
                         RegNumber(std::uint32_t(value)));
            accepted += user.WindowPlace(L"R") ? L'+' : L'-';
        }
    }
    registry.Set(RegRoot::CurrentUser, L"Software\\Korveline\\R", L"Top", RegText(L"30"));
    EXPECT_EQ(accepted + (user.WindowPlace(L"R") ? L'+' : L'-'), L"-+++--+++----+----+--");
    // Switches start off; a stored 1 turns one on, a 0 or anything but a DWORD leaves it off.
    std::wstring on = user.Switch(UserSwitch::LineNumbers) ? L"1" : L"0";
    user.SetSwitch(UserSwitch::LineNumbers, true), user.SetSwitch(UserSwitch::FindWrapAround, false);
    registry.Set(RegRoot::CurrentUser, L"Software\\Korveline", L"ColourSyntax", RegText(L"1"));
    for (UserSwitch which : {UserSwitch::LineNumbers, UserSwitch::FindWrapAround, UserSwitch::ColourSyntax})
        on += user.Switch(which) ? L"1" : L"0";
    EXPECT_EQ(on, L"0100");
}

}  // namespace
