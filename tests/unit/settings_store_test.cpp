// The settings store and the registry object under it: first run, later
// starts, the ways loading fails, the path notation and the conversions.
#include <gtest/gtest.h>

#include "fakes.h"
#include "shell/file_association.h"

namespace {

const wchar_t kKey[] = L"Software\\asm";
const RegRoot kHklm = RegRoot::LocalMachine;

std::wstring Name(const StoreValue& v) {
    const std::wstring path = v.path;
    return path.substr(path.rfind(L'\\') + 1);
}

// Loads as the start-up does: a failure ends loading without a message.
// Returns whether the first run wrote the store.
bool Load(FakeProgram& p, FakeMainView& view, SettingsFields& fields) {
    p.registry.log.clear();
    SkipOnFailure([&] {
        LoadSettings(p.context, fields, view, [&] { RegisterAsmFiles(p.platform, p.regShell, view); });
    });
    return !p.registry.log.empty();
}

// The store as a first run leaves it, with the flag given.
void PutStore(FakeProgram& p, std::optional<std::uint32_t> asmfiles = 1) {
    p.registry.SetDword(kHklm, kKey, L"", 1);
    for (const StoreValue& v : kStoreValues)
        p.registry.SetString(kHklm, kKey, Name(v), v.firstRunText);
    if (asmfiles)
        p.registry.SetDword(kHklm, kKey, L"asmfiles", *asmfiles);
}

TEST(SettingsStore, FirstRunWritesTheStoreInOrderRegistersAndLoadsOnlyOnTheNextStart) {
    FakeProgram p;
    FakeMainView view;
    SettingsFields fields;
    ASSERT_TRUE(Load(p, view, fields));
    const auto& values = p.registry.ValuesOf(kHklm, kKey);
    ASSERT_EQ(values.size(), 12u);
    EXPECT_EQ(values.at(L"").value.type, RegType::Dword);
    EXPECT_EQ(values.at(L"").value.number, 1u);
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
    for (const auto& [name, text] : expected) {
        const auto& v = values.at(Lower(name));
        EXPECT_EQ(v.name, name);
        EXPECT_EQ(v.value.type, RegType::String) << name;
        EXPECT_EQ(v.value.text, text) << name;
    }
    EXPECT_EQ(values.at(L"asmfiles").value.number, 1u);
    EXPECT_TRUE(view.regChecked);
    EXPECT_TRUE(p.registry.HasKey(RegRoot::ClassesRoot, L".asm"));
    // The key first, then the marker, the ten strings, and last the association's flag.
    EXPECT_EQ(p.registry.log[0], L"createkey HKLM\\Software\\asm");
    EXPECT_EQ(p.registry.log[1], L"write HKLM\\Software\\asm\\");
    EXPECT_EQ(p.registry.log[2], L"write HKLM\\Software\\asm\\tasm");
    EXPECT_EQ(p.registry.log[11], L"write HKLM\\Software\\asm\\32btlinkCOM");
    EXPECT_EQ(p.registry.log.back(), L"write HKLM\\Software\\asm\\asmfiles");
    for (const StoreValue& v : kStoreValues)
        EXPECT_EQ(p.settings.*v.member, L"") << "not read back before the next start";

    FakeMainView nextView;
    SettingsFields next;
    p.settings = {};
    EXPECT_FALSE(Load(p, nextView, next));
    EXPECT_EQ(next.settingsMarker, 1);
    EXPECT_EQ(next.asmFilesFlag, 1);
    EXPECT_EQ(p.settings.opt32EXETlink, L"/x /v /3");
    EXPECT_EQ(p.settings.opt16COMTlink, L"/x /v /t");
    EXPECT_TRUE(nextView.regChecked);
}

TEST(SettingsStore, TheMarkerCountsWhenItIsANonZero16BitNumber) {
    RegValue binary;
    binary.type = RegType::Binary;
    const std::pair<RegValue, bool> cases[] = {
        {RegNumber(1), true},     {RegText(L"1"), true},     {RegText(L" 7\t"), true},
        {RegNumber(0), false},    {RegNumber(40000), false}, {RegText(L"40000"), false},
        {RegText(L"abc"), false}, {RegText(L""), false},     {binary, false},
    };
    for (const auto& [marker, counts] : cases) {
        SCOPED_TRACE(std::to_string(marker.number) + " '" +
                     std::string(marker.text.begin(), marker.text.end()) + "'");
        FakeProgram p;
        FakeMainView view;
        SettingsFields fields;
        PutStore(p);
        p.registry.Set(kHklm, kKey, L"", marker);
        p.registry.SetString(kHklm, kKey, L"tasm", L"C:\\mine\\tasm.exe");
        EXPECT_EQ(Load(p, view, fields), !counts);
        // A marker that does not count makes the first run overwrite the user's tool path.
        EXPECT_EQ(p.registry.ValuesOf(kHklm, kKey).at(L"tasm").value.text,
                  counts ? L"C:\\mine\\tasm.exe" : L"");
        EXPECT_EQ(p.settings.tasmPath, counts ? L"C:\\mine\\tasm.exe" : L"");
    }
}

TEST(SettingsStore, TheFlagChecksTheMenuOnlyWhenItIsOne) {
    const std::pair<std::optional<std::uint32_t>, bool> cases[] = {
        {1, true}, {0, false}, {2, false}, {std::nullopt, false}};
    for (const auto& [flag, checked] : cases) {
        FakeProgram p;
        FakeMainView view;
        SettingsFields fields;
        PutStore(p, flag);
        EXPECT_FALSE(Load(p, view, fields));
        EXPECT_EQ(view.regChecked, checked) << (flag ? *flag : 999);
    }
}

TEST(SettingsStore, AMissingOrUnreadableValueEndsLoadingQuietlyAndChangesNothing) {
    FakeProgram p;
    FakeMainView view;
    SettingsFields fields;
    PutStore(p);
    p.registry.SetString(kHklm, kKey, L"tasm", L"C:\\t\\tasm.exe");
    p.registry.SetDword(kHklm, kKey, L"16btasmEXE", 5);                // a number reads as its digits
    p.registry.SetString(kHklm, kKey, L"TLINK", L"C:\\L\\TLINK.EXE");  // names compare without case
    EXPECT_FALSE(Load(p, view, fields));
    EXPECT_EQ(p.settings.opt16EXETasm, L"5");
    EXPECT_EQ(p.settings.tlinkPath, L"C:\\L\\TLINK.EXE");

    const RegValue binary{RegType::Binary, L"", 0, {1, 2}};
    for (const std::optional<RegValue>& damage :
         {std::optional<RegValue>(), std::optional<RegValue>(binary)}) {
        FakeProgram q;
        FakeMainView v;
        SettingsFields f;
        PutStore(q);
        q.registry.SetString(kHklm, kKey, L"tasm", L"C:\\t\\tasm.exe");
        if (damage)
            q.registry.Set(kHklm, kKey, L"tlink", *damage);
        else
            q.registry.DeleteValue(kHklm, kKey, L"tlink");
        EXPECT_FALSE(Load(q, v, f)) << "the store stays unchanged";
        EXPECT_EQ(q.settings.tasmPath, L"C:\\t\\tasm.exe");
        EXPECT_EQ(q.settings.tlinkPath, L"");
        EXPECT_FALSE(v.regChecked);
        EXPECT_TRUE(q.messages.shown.empty());
        // The switches not read take their first-run strings, so a build still works.
        EXPECT_EQ(q.settings.opt16EXETlink, L"/x /v");
        EXPECT_EQ(q.settings.opt32COMTlink, L"/x /v /t /3");
    }
}

TEST(SettingsStore, AFirstRunThatMayNotWriteStopsQuietlyAndRunsAgainNextTime) {
    FakeProgram p;
    FakeMainView view;
    SettingsFields fields;
    p.registry.refuseWrites.insert(kHklm);
    Load(p, view, fields);
    EXPECT_FALSE(view.regChecked);
    EXPECT_EQ(fields.settingsMarker, 0);
    EXPECT_TRUE(p.messages.shown.empty());
    p.registry.refuseWrites.clear();
    EXPECT_TRUE(Load(p, view, fields));
    EXPECT_TRUE(view.regChecked);
}

TEST(SettingsStore, FirstRunGoesOnWhenOnlyTheKeyCreationFails) {
    FakeProgram p;
    FakeMainView view;
    SettingsFields fields;
    p.registry.refuseCreateKey = true;
    Load(p, view, fields);
    EXPECT_TRUE(p.registry.HasValue(RegRoot::LocalMachine, kKey, L""));
    EXPECT_TRUE(p.registry.HasValue(RegRoot::LocalMachine, kKey, L"32btlinkCOM"));
    EXPECT_TRUE(view.regChecked);
}

TEST(RegShell, PathsSplitIntoRootKeyAndValueName) {
    const std::tuple<const wchar_t*, RegRoot, const wchar_t*, const wchar_t*> paths[] = {
        {L"HKLM\\Software\\asm\\tasm", kHklm, L"Software\\asm", L"tasm"},
        {L"HKLM\\Software\\asm\\", kHklm, L"Software\\asm", L""},  // the default value
        {L"HKCR\\.asm\\Content Type", RegRoot::ClassesRoot, L".asm", L"Content Type"},
        {L"hkey_classes_root\\K.Q\\Shell\\", RegRoot::ClassesRoot, L"K.Q\\Shell", L""},
        {L"HKEY_CURRENT_USER\\k\\v", RegRoot::CurrentUser, L"k", L"v"},
        {L"HKU\\k\\v", RegRoot::Users, L"k", L"v"},
        {L"HKCC\\k\\v", RegRoot::CurrentConfig, L"k", L"v"},
    };
    for (const auto& [path, root, key, name] : paths) {
        const RegPath p = ParseRegPath(path);
        EXPECT_EQ(p.root, root) << p.key.size();
        EXPECT_EQ(p.key, key);
        EXPECT_EQ(p.name, name);
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
    EXPECT_EQ(reg.RegRead(L"HKLM\\Software\\asm\\TASM").ToString(), L"C:\\a b\\tasm.exe");
    const RegVariant marker = reg.RegRead(L"HKLM\\Software\\asm\\");
    EXPECT_EQ(marker.kind, RegVariant::Kind::Number);
    EXPECT_EQ(marker.ToString(), L"1");
    const RegValue flag = registry.ReadValue(kHklm, kKey, L"asmfiles");
    EXPECT_EQ(flag.type, RegType::Dword);
    EXPECT_EQ(flag.number, 2u);  // half to even
    registry.Set(kHklm, kKey, L"x", RegValue{RegType::ExpandString, L"%x%", 0, {}});
    EXPECT_EQ(reg.RegRead(L"HKLM\\Software\\asm\\x").ToString(), L"%x%");

    EXPECT_THROW(reg.RegWrite(L"HKLM\\Software\\asm\\x", L"1", L"REG_BINARY"), PlatformError);
    reg.RegWrite(L"HKLM\\Software\\asm\\x", std::int64_t{7}, L"REG_SZ");
    EXPECT_EQ(reg.RegRead(L"HKLM\\Software\\asm\\x").text, L"7");
    EXPECT_THROW(reg.RegWrite(L"HKLM\\Software\\asm\\x", std::int64_t{1}, L"REG_BINARY"), PlatformError);
    EXPECT_THROW(reg.RegWrite(L"HKLM\\Software\\asm\\x", L"abc", L"REG_DWORD"), PlatformError);
    EXPECT_THROW(reg.RegRead(L"HKLM\\Software\\asm\\missing"), PlatformError);
    reg.RegDelete(L"HKLM\\Software\\asm\\tasm");
    EXPECT_THROW(reg.RegRead(L"HKLM\\Software\\asm\\tasm"), PlatformError);
    EXPECT_THROW(reg.RegDelete(L"HKLM\\Software\\asm\\tasm"), PlatformError);
    reg.RegDelete(L"HKLM\\Software\\asm\\");  // a trailing backslash names the key itself
    EXPECT_FALSE(registry.HasKey(kHklm, kKey));
    EXPECT_TRUE(registry.HasKey(kHklm, L"Software"));
}

TEST(RegShell, SixteenBitConversion) {
    auto text = [](const wchar_t* t) { return RegVariant{RegVariant::Kind::Text, 0, t}; };
    auto number = [](std::int64_t n) { return RegVariant{RegVariant::Kind::Number, n, L""}; };
    const std::pair<RegVariant, std::optional<std::int16_t>> cases[] = {
        {number(1), 1},           {number(32767), 32767},
        {number(-32768), -32768}, {number(32768), {}},
        {number(-32769), {}},     {number(4294967295LL), {}},
        {text(L"1"), 1},          {text(L" \t-32768 \t"), -32768},
        {text(L"+12"), 12},       {text(L"2.5"), 2},
        {text(L"3.5"), 4},        {text(L"0.25"), 0},
        {text(L".75"), 1},        {text(L"40000"), {}},
        {text(L"abc"), {}},       {text(L"1x"), {}},
        {text(L"1 2"), {}},       {text(L""), {}},
        {text(L" "), {}},         {text(L"-"), {}},
        {RegVariant{}, {}},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(ToInt16(value), expected)
            << std::string(value.text.begin(), value.text.end()) << value.number;
    EXPECT_THROW(RegVariant{}.ToString(), PlatformError);
}

}  // namespace
