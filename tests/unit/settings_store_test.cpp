// The settings store and the registry object under it: first run, later
// starts, the ways loading fails, the path notation and the conversions.
#include <gtest/gtest.h>

#include "fakes.h"

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

// A store as a first run leaves it, with the marker and the flag given.
void PutStore(FakeProgram& p, const RegValue& marker, std::optional<std::uint32_t> asmfiles = 1) {
    p.registry.Set(kHklm, kKey, L"", marker);
    for (const StoreValue& v : kStoreValues)
        p.registry.Set(kHklm, kKey, std::wstring(v.path).substr(18), RegText(v.firstRunText));
    if (asmfiles)
        p.registry.Set(kHklm, kKey, L"asmfiles", RegNumber(*asmfiles));
}

TEST(SettingsStore, FirstRunWritesTheStoreInOrderAndOnlyTheNextStartLoadsIt) {
    FakeProgram p;
    FakeMainView view;
    SettingsFields fields;
    ASSERT_TRUE(Load(p, view, fields));
    const std::pair<const wchar_t*, const wchar_t*> expected[] = {
        {L"tasm", L""},
        {L"tlink", L""},
        {L"16btasmEXE", L"/z /zi /n /m2"},
        {L"16btlinkEXE", L"/x /v"},
        {L"32btasmEXE", L"/z /zi /n /m2"},
        {L"32btlinkEXE", L"/x /v /3"},
        {L"16btasmCOM", L"/z /zi /n /m2"},
        {L"16btlinkCOM", L"/x /v /t"},
        {L"32btasmCOM", L"/z /zi /n /m2"},
        {L"32btlinkCOM", L"/x /v /t /3"},
    };
    std::vector<std::wstring> log{L"createkey HKLM\\Software\\asm", L"write HKLM\\Software\\asm\\"};
    for (const auto& [name, text] : expected) {
        log.push_back(std::wstring(L"write HKLM\\Software\\asm\\") + name);
        EXPECT_EQ(p.registry.ReadValue(kHklm, kKey, name).type, RegType::String) << name;
        EXPECT_EQ(p.registry.ReadValue(kHklm, kKey, name).text, text) << name;
    }
    EXPECT_EQ(p.registry.log, log);
    EXPECT_EQ(p.registry.ReadValue(kHklm, kKey, L"").number, 1u);
    EXPECT_EQ(p.registry.ReadValue(kHklm, kKey, L"asmfiles").number, 1u) << "registered";
    EXPECT_EQ(p.settings.opt32EXETlink, L"") << "not read back before the next start";

    FakeMainView nextView;
    SettingsFields next;
    EXPECT_FALSE(Load(p, nextView, next));
    EXPECT_EQ(next.settingsMarker, 1);
    EXPECT_EQ(next.asmFilesFlag, 1);
    EXPECT_EQ(p.settings.opt32EXETlink, L"/x /v /3");
    EXPECT_EQ(p.settings.opt16COMTlink, L"/x /v /t");
    EXPECT_TRUE(nextView.regChecked);
}

// The marker counts when it is a non-zero 16-bit number; one that does not
// count makes the first run overwrite the user's tool path. The flag checks
// the menu only when it is 1.
TEST(SettingsStore, TheMarkerDecidesOnAFirstRunAndTheFlagOnTheCheckMark) {
    const std::tuple<RegValue, std::optional<std::uint32_t>, bool, bool> cases[] = {
        {RegNumber(1), 1, true, true},       {RegText(L" 7\t"), 1, true, true},
        {RegNumber(1), 0, true, false},      {RegNumber(1), 2, true, false},
        {RegNumber(1), {}, true, false},     {RegNumber(0), 1, false, false},
        {RegNumber(40000), 1, false, false}, {RegValue{RegType::Binary, L"", 0, {1}}, 1, false, false},
    };
    for (const auto& [marker, flag, counts, checked] : cases) {
        SCOPED_TRACE(std::to_string(marker.number) + " " + std::to_string(flag.value_or(99)));
        FakeProgram p;
        FakeMainView view;
        SettingsFields fields;
        PutStore(p, marker, flag);
        p.registry.Set(kHklm, kKey, L"tasm", RegText(L"C:\\mine\\tasm.exe"));
        EXPECT_EQ(Load(p, view, fields), !counts);
        EXPECT_EQ(p.registry.ReadValue(kHklm, kKey, L"tasm").text, counts ? L"C:\\mine\\tasm.exe" : L"");
        EXPECT_EQ(p.settings.tasmPath, counts ? L"C:\\mine\\tasm.exe" : L"");
        EXPECT_EQ(view.regChecked, checked);
    }
}

// A missing or unreadable value ends loading quietly; the switches not read
// take their first-run strings, so a build still works.
TEST(SettingsStore, AValueThatCannotBeReadEndsLoadingQuietlyAndChangesNothing) {
    for (bool missing : {true, false}) {
        FakeProgram p;
        FakeMainView view;
        SettingsFields fields;
        PutStore(p, RegNumber(1));
        p.registry.Set(kHklm, kKey, L"tasm", RegText(L"C:\\t\\tasm.exe"));
        if (missing)
            p.registry.DeleteValue(kHklm, kKey, L"tlink");
        else
            p.registry.Set(kHklm, kKey, L"tlink", RegValue{RegType::Binary, L"", 0, {1, 2}});
        EXPECT_FALSE(Load(p, view, fields)) << "the store stays unchanged";
        EXPECT_EQ(p.settings.tasmPath + L"|" + p.settings.tlinkPath, L"C:\\t\\tasm.exe|");
        EXPECT_FALSE(view.regChecked);
        EXPECT_TRUE(p.messages.shown.empty());
        EXPECT_EQ(p.settings.opt16EXETasm, L"/z /zi /n /m2");
        EXPECT_EQ(p.settings.opt32COMTlink, L"/x /v /t /3");
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
    EXPECT_TRUE(p.messages.shown.empty());
    p.registry.refuseWrites.clear();
    p.registry.refuseCreateKey = true;
    EXPECT_TRUE(Load(p, view, fields)) << "it runs again at the next start";
    EXPECT_TRUE(p.registry.Has(kHklm, kKey, L"32btlinkCOM"));
    EXPECT_TRUE(p.registry.Has(kHklm, kKey, L"asmfiles"));
}

TEST(RegShell, PathsSplitIntoRootKeyAndValueName) {
    const std::tuple<const wchar_t*, RegRoot, const wchar_t*, const wchar_t*> paths[] = {
        {L"HKLM\\Software\\asm\\tasm", kHklm, L"Software\\asm", L"tasm"},
        {L"HKEY_LOCAL_MACHINE\\Software\\asm\\", kHklm, L"Software\\asm", L""},  // the default value
        {L"HKCR\\.asm\\Content Type", RegRoot::ClassesRoot, L".asm", L"Content Type"},
        {L"hkey_classes_root\\K.Q\\Shell\\", RegRoot::ClassesRoot, L"K.Q\\Shell", L""},
        {L"HKEY_CURRENT_USER\\k\\v", RegRoot::CurrentUser, L"k", L"v"},
        {L"HKCU\\k\\v", RegRoot::CurrentUser, L"k", L"v"},
        {L"HKU\\k\\v", RegRoot::Users, L"k", L"v"},
        {L"HKEY_USERS\\k\\v", RegRoot::Users, L"k", L"v"},
        {L"HKCC\\k\\v", RegRoot::CurrentConfig, L"k", L"v"},
        {L"HKEY_CURRENT_CONFIG\\k\\v", RegRoot::CurrentConfig, L"k", L"v"},
    };
    for (const auto& [path, root, key, name] : paths) {
        const RegPath p = ParseRegPath(path);
        EXPECT_EQ(p.root, root) << p.key.size();
        EXPECT_EQ(p.key + L"|" + p.name, std::wstring(key) + L"|" + name);
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
    reg.RegWrite(L"HKLM\\Software\\asm\\asmfiles", L" 2.5\t", L"REG_DWORD");
    EXPECT_EQ(reg.RegRead(L"HKLM\\Software\\asm\\tasm").ToString(), L"C:\\a b\\tasm.exe");
    const RegVariant marker = reg.RegRead(L"HKLM\\Software\\asm\\");
    EXPECT_EQ(marker.kind, RegVariant::Kind::Number);
    EXPECT_EQ(marker.ToString(), L"1");
    const RegValue flag = registry.ReadValue(kHklm, kKey, L"asmfiles");
    EXPECT_EQ(flag.type, RegType::Dword);
    EXPECT_EQ(flag.number, 2u);  // half to even
    registry.Set(kHklm, kKey, L"x", RegValue{RegType::ExpandString, L"%x%", 0, {}});
    EXPECT_EQ(reg.RegRead(L"HKLM\\Software\\asm\\x").ToString(), L"%x%");

    reg.RegWrite(L"HKLM\\Software\\asm\\x", std::int64_t{7}, L"REG_SZ");
    EXPECT_EQ(reg.RegRead(L"HKLM\\Software\\asm\\x").text, L"7");
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

}  // namespace
