// The settings store: first run, later starts, and the ways loading fails.
#include <gtest/gtest.h>

#include "fakes.h"
#include "shell/file_association.h"

namespace {

const wchar_t kKey[] = L"Software\\asm";

std::wstring Name(const StoreValue& v) {
    const std::wstring path = v.path;
    return path.substr(path.rfind(L'\\') + 1);
}

class SettingsStoreTest : public ::testing::Test {
  protected:
    void Load() {
        LoadSettings(p.context, fields, view, [this] { RegisterAsmFiles(p.platform, p.regShell, view); });
    }
    // Loads as the start-up does: a failure ends loading without a message.
    void LoadAsStartUp() {
        SkipOnFailure([this] { Load(); });
    }

    void StoreWithDefaults() {
        p.registry.SetDword(RegRoot::LocalMachine, kKey, L"", 1);
        for (const StoreValue& v : kStoreValues)
            p.registry.SetString(RegRoot::LocalMachine, kKey, Name(v), v.firstRunText);
        p.registry.SetDword(RegRoot::LocalMachine, kKey, L"asmfiles", 1);
    }

    FakeProgram p;
    FakeMainView view;
    SettingsFields fields;
};

TEST_F(SettingsStoreTest, FirstRunWritesTheStoreInOrderAndRegistersTheAssociation) {
    Load();
    const auto& values = p.registry.ValuesOf(RegRoot::LocalMachine, kKey);
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
    EXPECT_EQ(values.at(L"asmfiles").value.type, RegType::Dword);
    EXPECT_EQ(values.at(L"asmfiles").value.number, 1u);
    EXPECT_TRUE(view.regChecked);
    EXPECT_TRUE(p.registry.HasKey(RegRoot::ClassesRoot, L".asm"));

    // The key first, then the marker, the ten strings, and last the association.
    ASSERT_GE(p.registry.log.size(), 12u);
    EXPECT_EQ(p.registry.log[0], L"createkey HKLM\\Software\\asm");
    EXPECT_EQ(p.registry.log[1], L"write HKLM\\Software\\asm\\");
    EXPECT_EQ(p.registry.log[2], L"write HKLM\\Software\\asm\\tasm");
    EXPECT_EQ(p.registry.log[11], L"write HKLM\\Software\\asm\\32btlinkCOM");
    EXPECT_EQ(p.registry.log.back(), L"write HKLM\\Software\\asm\\asmfiles");
}

TEST_F(SettingsStoreTest, FirstRunLeavesTheStringsEmptyUntilTheNextStart) {
    Load();
    for (const StoreValue& v : kStoreValues)
        EXPECT_EQ(p.settings.*v.member, L"") << v.path;

    FakeMainView nextView;
    SettingsFields nextFields;
    SharedSettings next;
    ProgramContext nextContext{p.platform, p.regShell, next};
    LoadSettings(nextContext, nextFields, nextView, [] { FAIL() << "no second first run"; });
    EXPECT_EQ(nextFields.settingsMarker, 1);
    EXPECT_EQ(next.opt32EXETlink, L"/x /v /3");
    EXPECT_EQ(next.opt16COMTlink, L"/x /v /t");
    EXPECT_EQ(next.tasmPath, L"");
    EXPECT_TRUE(nextView.regChecked);
}

TEST_F(SettingsStoreTest, LaterStartLoadsEveryStoredValue) {
    StoreWithDefaults();
    p.registry.SetString(RegRoot::LocalMachine, kKey, L"tasm", L"C:\\TASM\\BIN\\TASM.EXE");
    p.registry.SetString(RegRoot::LocalMachine, kKey, L"tlink", L"C:\\TASM\\BIN\\TLINK.EXE");
    p.registry.SetString(RegRoot::LocalMachine, kKey, L"16btlinkEXE", L"/x");
    const std::size_t before = p.registry.log.size();
    Load();
    EXPECT_EQ(p.registry.log.size(), before) << "loading writes nothing";
    EXPECT_EQ(p.settings.tasmPath, L"C:\\TASM\\BIN\\TASM.EXE");
    EXPECT_EQ(p.settings.tlinkPath, L"C:\\TASM\\BIN\\TLINK.EXE");
    EXPECT_EQ(p.settings.opt16EXETlink, L"/x");
    EXPECT_EQ(p.settings.opt32COMTlink, L"/x /v /t /3");
    EXPECT_EQ(fields.asmFilesFlag, 1);
    EXPECT_TRUE(view.regChecked);
}

TEST_F(SettingsStoreTest, MarkerCountsWhenItIsANonZero16BitNumber) {
    struct Case {
        RegValue marker;
        bool present;
    };
    auto text = [](const wchar_t* t) {
        RegValue v;
        v.type = RegType::String;
        v.text = t;
        return v;
    };
    auto number = [](std::uint32_t n) {
        RegValue v;
        v.type = RegType::Dword;
        v.number = n;
        return v;
    };
    RegValue binary;
    binary.type = RegType::Binary;
    binary.bytes = {1, 0, 0, 0};
    const Case cases[] = {
        {number(1), true},     {text(L"1"), true},     {text(L" 7 "), true},
        {number(0), false},    {number(40000), false}, {text(L"40000"), false},
        {text(L"abc"), false}, {text(L""), false},     {binary, false},
    };
    for (const Case& c : cases) {
        FakeProgram q;
        FakeMainView v;
        SettingsFields f;
        q.registry.Set(RegRoot::LocalMachine, kKey, L"", c.marker);
        q.registry.SetString(RegRoot::LocalMachine, kKey, L"tasm", L"C:\\mine\\tasm.exe");
        SkipOnFailure([&] { LoadSettings(q.context, f, v, [] {}); });
        const bool firstRun = !q.registry.log.empty();
        EXPECT_EQ(!firstRun, c.present) << "marker " << c.marker.number << " '"
                                        << std::string(c.marker.text.begin(), c.marker.text.end()) << "'";
        if (!c.present) {
            // A marker that does not count makes the first run overwrite the user's tool path.
            EXPECT_EQ(q.registry.ValuesOf(RegRoot::LocalMachine, kKey).at(L"tasm").value.text, L"");
        }
    }
}

TEST_F(SettingsStoreTest, AsmFilesFlagChecksTheMenuOnlyWhenItIsOne) {
    const std::pair<std::optional<std::uint32_t>, bool> cases[] = {
        {1, true}, {0, false}, {2, false}, {std::nullopt, false}};
    for (const auto& [flag, checked] : cases) {
        FakeProgram q;
        FakeMainView v;
        SettingsFields f;
        q.registry.SetDword(RegRoot::LocalMachine, kKey, L"", 1);
        for (const StoreValue& sv : kStoreValues)
            q.registry.SetString(RegRoot::LocalMachine, kKey, Name(sv), L"x");
        if (flag)
            q.registry.SetDword(RegRoot::LocalMachine, kKey, L"asmfiles", *flag);
        SkipOnFailure([&] { LoadSettings(q.context, f, v, [] {}); });
        EXPECT_EQ(v.regChecked, checked) << (flag ? *flag : 999);
    }
}

TEST_F(SettingsStoreTest, MissingValueEndsLoadingQuietlyAndChangesNothing) {
    StoreWithDefaults();
    p.registry.SetString(RegRoot::LocalMachine, kKey, L"tasm", L"C:\\t\\tasm.exe");
    p.registry.SetString(RegRoot::LocalMachine, kKey, L"16btlinkEXE", L"/custom");
    p.registry.DeleteValue(RegRoot::LocalMachine, kKey, L"tlink");
    p.registry.log.clear();
    view.regChecked = false;
    LoadAsStartUp();
    EXPECT_EQ(p.settings.tasmPath, L"C:\\t\\tasm.exe");
    EXPECT_EQ(p.settings.tlinkPath, L"");
    EXPECT_FALSE(view.regChecked);
    EXPECT_TRUE(p.registry.log.empty()) << "the store stays unchanged";
    EXPECT_TRUE(p.messages.shown.empty());
    // The switches that were not read take their first-run strings, so a build still works.
    EXPECT_EQ(p.settings.opt16EXETlink, L"/x /v");
    EXPECT_EQ(p.settings.opt32COMTlink, L"/x /v /t /3");
}

TEST_F(SettingsStoreTest, ValuesOfOtherTypesAndCases) {
    StoreWithDefaults();
    p.registry.SetDword(RegRoot::LocalMachine, kKey, L"16btasmEXE", 5);
    // A name that differs only in case is the same value.
    p.registry.SetString(RegRoot::LocalMachine, kKey, L"TLINK", L"C:\\L\\TLINK.EXE");
    Load();
    EXPECT_EQ(p.settings.opt16EXETasm, L"5");
    EXPECT_EQ(p.settings.tlinkPath, L"C:\\L\\TLINK.EXE");

    RegValue binary;
    binary.type = RegType::Binary;
    binary.bytes.assign(100 * 1024, 0x41);
    p.registry.Set(RegRoot::LocalMachine, kKey, L"32btasmEXE", binary);
    SharedSettings fresh;
    ProgramContext context{p.platform, p.regShell, fresh};
    SettingsFields f;
    FakeMainView v;
    EXPECT_THROW(LoadSettings(context, f, v, [] {}), PlatformError);
    EXPECT_EQ(fresh.opt16EXETlink, L"/x /v");
    EXPECT_EQ(fresh.opt32EXETasm, L"/z /zi /n /m2") << "an unreadable switch takes its first-run string";
}

TEST_F(SettingsStoreTest, FirstRunThatMayNotWriteStopsQuietlyAndRunsAgainNextTime) {
    p.registry.refuseWrites.insert(RegRoot::LocalMachine);
    LoadAsStartUp();
    EXPECT_FALSE(view.regChecked);
    EXPECT_EQ(fields.settingsMarker, 0);
    EXPECT_TRUE(p.messages.shown.empty());

    p.registry.refuseWrites.clear();
    p.registry.log.clear();
    Load();
    EXPECT_EQ(p.registry.log.front(), L"createkey HKLM\\Software\\asm");
    EXPECT_TRUE(view.regChecked);
}

TEST_F(SettingsStoreTest, FirstRunGoesOnWhenOnlyTheKeyCreationFails) {
    p.registry.refuseCreateKey = true;
    Load();
    EXPECT_TRUE(p.registry.HasValue(RegRoot::LocalMachine, kKey, L""));
    EXPECT_TRUE(p.registry.HasValue(RegRoot::LocalMachine, kKey, L"32btlinkCOM"));
    EXPECT_TRUE(view.regChecked);
}

}  // namespace
