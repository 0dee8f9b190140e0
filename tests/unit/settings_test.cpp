// The settings: the store and its first run, the registry paths and numbers,
// the tool location and build option dialogs' logic, and window places.
#include <gtest/gtest.h>

#include "fakes.h"
#include "settings/build_options_logic.h"
#include "settings/tool_path_logic.h"
#include "settings/window_placement.h"

namespace {

const wchar_t kKey[] = L"Software\\asm";
const RegRoot kHklm = RegRoot::LocalMachine;

// Loads as the start-up does: a failure ends loading without a message. The
// association's registration only sets its flag here. Returns whether the
// first run wrote the store.
bool Load(FakeProgram& p, FakeMainView& view, SettingsFields& fields) {
    p.registry.log.clear();
    SkipOnFailure([&] {
        LoadSettings(p.context, fields, view,
                     [&] { p.registry.Set(kHklm, kKey, L"asmfiles", RegNumber(1)); });
    });
    return !p.registry.log.empty();
}

std::wstring Switches(const SharedSettings& s) {
    return s.opt16EXETasm + L"|" + s.opt16EXETlink + L"|" + s.opt32EXETasm + L"|" + s.opt32EXETlink + L"|" +
           s.opt16COMTasm + L"|" + s.opt16COMTlink + L"|" + s.opt32COMTasm + L"|" + s.opt32COMTlink;
}
const wchar_t kFirstRunSwitches[] =
    L"/z /zi /n /m2|/x /v|/z /zi /n /m2|/x /v /3|/z /zi /n /m2|/x /v /t|/z /zi /n /m2|/x /v /t /3";

TEST(SettingsStore, FirstRunWritesTheStoreInOrderAndOnlyTheNextStartLoadsIt) {
    FakeProgram p;
    FakeMainView view;
    SettingsFields fields;
    ASSERT_TRUE(Load(p, view, fields));
    std::vector<std::wstring> log{L"createkey HKLM\\Software\\asm", L"write HKLM\\Software\\asm\\"};
    for (const wchar_t* name : {L"tasm", L"tlink", L"16btasmEXE", L"16btlinkEXE", L"32btasmEXE",
                                L"32btlinkEXE", L"16btasmCOM", L"16btlinkCOM", L"32btasmCOM", L"32btlinkCOM"})
        log.push_back(std::wstring(L"write HKLM\\Software\\asm\\") + name);
    EXPECT_EQ(p.registry.log, log);  // then the association registers
    EXPECT_EQ(Switches(p.settings), L"|||||||") << "not read back before the next start";

    SettingsFields next;
    EXPECT_FALSE(Load(p, view, next));
    EXPECT_EQ(next.settingsMarker + next.asmFilesFlag, 2);
    EXPECT_EQ(Switches(p.settings), kFirstRunSwitches);
    EXPECT_TRUE(view.regChecked);
}

// The marker counts when it is a non-zero 16-bit number; one that does not
// count makes the first run overwrite the user's tool path. The flag checks
// the menu only when it is 1. A value that cannot be read ends loading
// quietly; the switches not read take their first-run strings.
TEST(SettingsStore, TheMarkerDecidesOnAFirstRunTheFlagOnTheCheckMark) {
    const RegValue binary{RegType::Binary, L"", 0, {1}};
    const std::tuple<RegValue, std::optional<RegValue>, const wchar_t*, bool, bool> cases[] = {
        {RegNumber(1), RegNumber(1), L"asmfiles", true, true},
        {RegText(L" 7\t"), RegNumber(1), L"asmfiles", true, true},
        {RegNumber(1), RegNumber(0), L"asmfiles", true, false},
        {RegNumber(1), RegNumber(2), L"asmfiles", true, false},
        {RegNumber(1), {}, L"asmfiles", true, false},
        {RegNumber(0), RegNumber(1), L"asmfiles", false, false},
        {RegNumber(40000), RegNumber(1), L"asmfiles", false, false},
        {binary, RegNumber(1), L"asmfiles", false, false},
        {RegNumber(1), {}, L"tlink", true, false},
        {RegNumber(1), binary, L"tlink", true, false},
    };
    for (const auto& [marker, value, name, counts, checked] : cases) {
        SCOPED_TRACE(std::to_string(marker.number) + " " + std::string(name, name + 5));
        FakeProgram p;
        FakeMainView view;
        SettingsFields fields;
        p.registry.Set(kHklm, kKey, L"", marker);
        for (const StoreValue& v : kStoreValues)
            p.registry.Set(kHklm, kKey, std::wstring(v.path).substr(18), RegText(L"x"));
        p.registry.Set(kHklm, kKey, L"asmfiles", RegNumber(1));
        p.registry.DeleteValue(kHklm, kKey, name);
        if (value)
            p.registry.Set(kHklm, kKey, name, *value);
        EXPECT_EQ(Load(p, view, fields), !counts);
        EXPECT_EQ(p.registry.ReadValue(kHklm, kKey, L"tasm").text, counts ? L"x" : L"");
        EXPECT_EQ(p.settings.tasmPath, counts ? L"x" : L"");
        EXPECT_EQ(view.regChecked, checked);
        EXPECT_EQ(Switches(p.settings), !counts                          ? L"|||||||"
                                        : std::wstring(name) == L"tlink" ? kFirstRunSwitches
                                                                         : L"x|x|x|x|x|x|x|x");
    }
}

TEST(SettingsStore, AFirstRunThatMayNotWriteStopsQuietlyAndOneThatMayNotMakeTheKeyGoesOn) {
    FakeProgram p;
    FakeMainView view;
    SettingsFields fields;
    p.registry.refuseWrites.insert(kHklm);
    Load(p, view, fields);
    EXPECT_FALSE(p.registry.Has(kHklm, kKey, L"asmfiles"));
    EXPECT_EQ(fields.settingsMarker, 0);
    p.registry.refuseWrites.clear();
    p.registry.refuseCreateKey = true;
    EXPECT_TRUE(Load(p, view, fields)) << "it runs again at the next start";
    EXPECT_TRUE(p.registry.Has(kHklm, kKey, L"asmfiles"));
    EXPECT_TRUE(p.messages.shown.empty());
}

TEST(RegShell, PathsSplitIntoRootKeyAndValueName) {
    const std::tuple<const wchar_t*, RegRoot, const wchar_t*> paths[] = {
        {L"HKLM\\Software\\asm\\tasm", kHklm, L"Software\\asm|tasm"},
        {L"HKEY_LOCAL_MACHINE\\Software\\asm\\", kHklm, L"Software\\asm|"},  // the default value
        {L"hkcr\\.asm\\Content Type", RegRoot::ClassesRoot, L".asm|Content Type"},
        {L"hkey_classes_root\\K\\", RegRoot::ClassesRoot, L"K|"},
        {L"HKEY_CURRENT_USER\\k\\v", RegRoot::CurrentUser, L"k|v"},
        {L"HKCU\\k\\v", RegRoot::CurrentUser, L"k|v"},
        {L"HKU\\k\\v", RegRoot::Users, L"k|v"},
        {L"HKEY_USERS\\k\\v", RegRoot::Users, L"k|v"},
        {L"HKCC\\k\\v", RegRoot::CurrentConfig, L"k|v"},
        {L"HKEY_CURRENT_CONFIG\\k\\v", RegRoot::CurrentConfig, L"k|v"},
    };
    for (const auto& [path, root, keyAndName] : paths) {
        const RegPath p = ParseRegPath(path);
        EXPECT_EQ(p.root, root) << p.key.size();
        EXPECT_EQ(p.key + L"|" + p.name, keyAndName);
    }
    for (const wchar_t* bad :
         {L"", L"HKLM", L"HKXX\\Software\\asm", L"Software\\asm\\tasm", L"HKLM\\tasm", L"HKLM\\\\"})
        EXPECT_THROW(ParseRegPath(bad), PlatformError) << std::string(bad, bad + wcslen(bad));
}

TEST(RegShell, WritesTypesReadsThemBackAndDeletes) {
    FakeRegistry registry;
    RegShell reg(registry);
    reg.RegWrite(L"HKLM\\Software\\asm\\tasm", L"C:\\a b\\tasm.exe", L"REG_SZ");
    reg.RegWrite(L"HKLM\\Software\\asm\\", std::int64_t{1}, L"reg_dword");
    reg.RegWrite(L"HKLM\\Software\\asm\\asmfiles", L" 2.5\t", L"REG_DWORD");  // half to even
    reg.RegWrite(L"HKLM\\Software\\asm\\x", std::int64_t{7}, L"REG_SZ");
    registry.Set(kHklm, kKey, L"y", RegValue{RegType::ExpandString, L"%y%", 0, {}});
    std::wstring read;
    for (const wchar_t* name : {L"TASM", L"", L"asmfiles", L"x", L"y"})
        read += reg.RegRead(std::wstring(L"HKLM\\Software\\asm\\") + name).ToString() + L"|";
    EXPECT_EQ(read, L"C:\\a b\\tasm.exe|1|2|7|%y%|");
    EXPECT_EQ(registry.ReadValue(kHklm, kKey, L"").type, RegType::Dword);
    EXPECT_EQ(registry.ReadValue(kHklm, kKey, L"asmfiles").type, RegType::Dword);
    EXPECT_EQ(reg.RegRead(L"HKLM\\Software\\asm\\").kind, RegVariant::Kind::Number);

    EXPECT_THROW(reg.RegWrite(L"HKLM\\Software\\asm\\x", L"1", L"REG_BINARY"), PlatformError);
    EXPECT_THROW(reg.RegWrite(L"HKLM\\Software\\asm\\x", std::int64_t{1}, L"REG_BINARY"), PlatformError);
    EXPECT_THROW(reg.RegWrite(L"HKLM\\Software\\asm\\x", L"abc", L"REG_DWORD"), PlatformError);
    reg.RegDelete(L"HKLM\\Software\\asm\\tasm");
    EXPECT_THROW(reg.RegRead(L"HKLM\\Software\\asm\\tasm"), PlatformError);
    reg.RegDelete(L"HKLM\\Software\\asm\\");  // a trailing backslash names the key itself
    EXPECT_FALSE(registry.HasKey(kHklm, kKey));
    EXPECT_TRUE(registry.HasKey(kHklm, L"Software"));
}

TEST(RegShell, SixteenBitConversion) {
    auto text = [](const wchar_t* t) { return RegVariant{RegVariant::Kind::Text, 0, t}; };
    auto number = [](std::int64_t n) { return RegVariant{RegVariant::Kind::Number, n, L""}; };
    const std::pair<RegVariant, std::optional<std::int16_t>> cases[] = {
        {number(32767), 32767}, {number(-32768), -32768}, {number(32768), {}},
        {number(-32769), {}},   {text(L"1"), 1},          {text(L" \t-32768 \t"), -32768},
        {text(L"+12"), 12},     {text(L"2.5"), 2},        {text(L"3.5"), 4},
        {text(L"0.25"), 0},     {text(L".75"), 1},        {text(L"40000"), {}},
        {text(L"abc"), {}},     {text(L"1x"), {}},        {text(L"1 2"), {}},
        {text(L""), {}},        {text(L" "), {}},         {text(L"-"), {}},
        {RegVariant{}, {}},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(ToInt16(value), expected)
            << std::string(value.text.begin(), value.text.end()) << value.number;
    EXPECT_THROW(RegVariant{}.ToString(), PlatformError);
}

// OK takes any existing file, makes the value a plain string, and keeps the
// path for this run when the registry refuses it.
TEST(ToolPath, OkTakesAnExistingFileAndStoresItAsAString) {
    FakeProgram p;
    p.files.Put(L"D:\\notes\\readme.txt", "hello");
    p.registry.Set(kHklm, kKey, L"TASM", RegNumber(7));
    EXPECT_TRUE(ToolPathLogic(ToolKind::Tasm, p.context).cmdOK_Click(L"D:\\notes\\readme.txt"));
    EXPECT_EQ(p.settings.tasmPath, L"D:\\notes\\readme.txt");
    EXPECT_EQ(p.registry.ReadValue(kHklm, kKey, L"tasm").type, RegType::String);
    EXPECT_EQ(p.registry.ReadValue(kHklm, kKey, L"tasm").text, L"D:\\notes\\readme.txt");
    EXPECT_TRUE(ToolPathLogic(ToolKind::Tlink, p.context).cmdOK_Click(L"D:\\notes\\readme.txt"));
    EXPECT_EQ(p.registry.log,
              (std::vector<std::wstring>{
                  L"deletevalue HKLM\\Software\\asm\\tasm", L"write HKLM\\Software\\asm\\tasm",
                  L"deletevalue HKLM\\Software\\asm\\tlink", L"write HKLM\\Software\\asm\\tlink"}));
    EXPECT_FALSE(ToolPathLogic(ToolKind::Tlink, p.context).cmdOK_Click(L""));
    EXPECT_FALSE(ToolPathLogic(ToolKind::Tasm, p.context).cmdOK_Click(L"C:\\nowhere\\tasm.exe"));
    p.registry.refuseWrites.insert(kHklm);
    EXPECT_FALSE(ToolPathLogic(ToolKind::Tasm, p.context).cmdOK_Click(L"D:\\notes\\readme.txt"));
    EXPECT_EQ(p.messages.Texts(),
              (std::vector<std::wstring>{L"It is not a 'tlink.exe' file.", L"It is not a 'tasm.exe' file.",
                                         L"The path of tasm.exe was not saved in the registry "
                                         L"(HKLM\\Software\\asm\\tasm). Korveline uses it only until it ends."
                                         L"\r\n\r\nError 5."}));
    EXPECT_EQ(p.messages.shown[0].style, kMbOk | kMbIconInformation);
    EXPECT_EQ(p.messages.shown[2].style, kMbOk | kMbIconStop);
    EXPECT_EQ(p.registry.log.size(), 6u);
}

// Browse: the plain Open dialog; only the tool's own name is taken, silently
// otherwise. It sets tasm at once, tlink only on OK; a cancel keeps the last choice.
TEST(ToolPath, BrowseAcceptsOnlyTheToolsNameAndACancelReusesTheLastChoice) {
    const std::tuple<ToolKind, const wchar_t*, bool> cases[] = {
        {ToolKind::Tasm, L"C:\\TASM\\BIN\\Tasm.Exe", true},
        {ToolKind::Tasm, L"C:\\TASM\\BIN\\tasm32.exe", false},
        {ToolKind::Tasm, L"C:\\tasm.exe\\x.txt", false},
        {ToolKind::Tlink, L"C:\\TASM\\BIN\\tlink.exe", true},
        {ToolKind::Tlink, L"C:\\TASM\\BIN\\tasm.exe", false},
    };
    for (const auto& [kind, chosen, accepted] : cases) {
        FakeProgram q;
        q.settings.tlinkPath = L"old";
        q.dialogs.Choose(chosen);
        const auto text = ToolPathLogic(kind, q.context).cmdBrowse_Click();
        const FileDialogRequest& asked = q.dialogs.shown.at(0).request;
        EXPECT_TRUE(!q.dialogs.shown[0].save && asked.filter.empty() && asked.flags == 0 &&
                    asked.fileName.empty());
        EXPECT_EQ(text, accepted ? std::optional<std::wstring>(chosen) : std::nullopt);
        EXPECT_EQ(q.settings.tasmPath + q.settings.tlinkPath,
                  (accepted && kind == ToolKind::Tasm ? chosen : L"") + std::wstring(L"old"));
        EXPECT_TRUE(q.messages.shown.empty() && q.registry.log.empty());
    }
    FakeProgram p;
    p.settings.tasmPath = L"C:\\old\\TASM.EXE";
    ToolPathLogic tasm(ToolKind::Tasm, p.context);
    EXPECT_EQ(tasm.Form_Load(), L"C:\\old\\TASM.EXE");
    EXPECT_EQ(p.system.caretBlink, 700u);
    p.dialogs.answers = {L"", L"C:\\T\\TASM.EXE", L""};
    EXPECT_EQ(tasm.cmdBrowse_Click(), std::nullopt) << "nothing chosen yet";
    tasm.cmdBrowse_Click();
    p.settings.tasmPath = L"changed meanwhile";
    EXPECT_EQ(tasm.cmdBrowse_Click(), std::optional<std::wstring>(L"C:\\T\\TASM.EXE"));
    EXPECT_EQ(p.settings.tasmPath, L"C:\\T\\TASM.EXE");
    EXPECT_EQ(p.dialogs.shown.back().request.fileName, L"C:\\T\\TASM.EXE")
        << "the dialog opens at the last choice";
}

TEST(BuildOptions, LoadFillsTheBoxesOfItsKindAndDefaultFillsThemWithoutWriting) {
    FakeProgram p;
    SharedSettings& s = p.settings;
    s.opt16EXETasm = L"a", s.opt32EXETlink = L"d", s.opt16COMTasm = L"e", s.opt32COMTlink = L"h";
    const OptionBoxes exe = BuildOptionsLogic(OptionsKind::Exe, p.context).Form_Load();
    EXPECT_EQ(exe.tasm[0] + exe.tasm[1] + exe.tlink[0] + exe.tlink[1], L"ad");
    EXPECT_EQ(exe.save, (std::array<bool, 2>{false, false}));
    EXPECT_EQ(p.system.caretBlink, 700u);
    BuildOptionsLogic com(OptionsKind::Com, p.context);
    OptionBoxes boxes = com.Form_Load();
    EXPECT_EQ(boxes.tasm[0] + L"|" + boxes.tlink[1], L"e|h");
    com.Command1_Click(boxes);  // Default: the strings take the defaults at once; Cancel only closes
    EXPECT_EQ(boxes.tasm[0] + L"|" + boxes.tlink[0] + L"|" + boxes.tasm[1] + L"|" + boxes.tlink[1],
              L"/z /zi /n /m2|/x /v /t|/z /zi /n /m2|/x /v /t /3");
    EXPECT_EQ(boxes.save, (std::array<bool, 2>{true, true}));
    EXPECT_EQ(Switches(s), L"a|||d|/z /zi /n /m2|/x /v /t|/z /zi /n /m2|/x /v /t /3");
    EXPECT_TRUE(p.registry.log.empty());
}

// OK writes the ticked kinds and applies every string; a refused write is
// reported and stops OK there, what came before it done.
TEST(BuildOptions, OkAppliesEveryStringAndARefusedWriteStopsThere) {
    FakeProgram p;
    BuildOptionsLogic exe(OptionsKind::Exe, p.context);
    OptionBoxes boxes;
    p.registry.refuseWrites.insert(kHklm);
    boxes = {{L"/a16", L"/a32"}, {L"/b16", L"/b32"}, {false, true}};
    EXPECT_FALSE(exe.cmdOK_Click(boxes)) << "the dialog stays open";
    EXPECT_EQ(
        p.messages.Texts(),
        std::vector<std::wstring>{L"The switches of the 32b EXE build were not saved in the registry "
                                  L"(HKLM\\Software\\asm\\32btasmEXE).\r\n\r\nTo use them until Korveline "
                                  L"ends, untick \"Save changes\" and press OK.\r\n\r\nError 5."});
    EXPECT_EQ(p.messages.shown[0].style, kMbOk | kMbIconStop);
    EXPECT_EQ(Switches(p.settings), L"/a16|/b16||||||");
    boxes.save = {false, false};  // unticked, the same OK applies the switches for this run
    EXPECT_TRUE(exe.cmdOK_Click(boxes));
    EXPECT_EQ(Switches(p.settings), L"/a16|/b16|/a32|/b32||||");
}

// A place comes back as saved; a missing, damaged or unlikely one gives none.
TEST(WindowPlacement, APlaceComesBackAsSavedAndADamagedOneGivesNone) {
    FakeRegistry registry;
    const wchar_t kPlace[] = L"Software\\Korveline\\Build results";
    EXPECT_FALSE(LoadWindowRect(registry, L"Build results"));
    SaveWindowRect(registry, L"Build results", {-20, 30, 400, 250});
    const auto rect = LoadWindowRect(registry, L"Build results");
    ASSERT_TRUE(rect);
    EXPECT_EQ(std::vector<int>({rect->left, rect->top, rect->width, rect->height}),
              std::vector<int>({-20, 30, 400, 250}));
    for (const RegValue& height : {RegNumber(0), RegNumber(100001), RegNumber(0xFFFFFFFF), RegText(L"250")}) {
        registry.Set(RegRoot::CurrentUser, kPlace, L"Height", height);
        EXPECT_FALSE(LoadWindowRect(registry, L"Build results")) << height.number;
    }
}

}  // namespace
