// The settings store in HKLM\Software\asm: created with its first-run values
// on the first start, loaded and left as it is on every later start.
#include "driver/program.h"
#include "driver/registry.h"
#include "settings/dialog_ids.h"

namespace e2e {
namespace {

const HKEY kHklm = HKEY_LOCAL_MACHINE;
const wchar_t kStore[] = L"Software\\asm";

struct StoreValue {
    const wchar_t* name;
    RegData data;
};

// The store as the first start writes it.
std::vector<StoreValue> FirstRunStore() {
    return {
        {L"", RegDword(1)},  // the marker, the key's default value
        {L"tasm", RegSz(L"")},
        {L"tlink", RegSz(L"")},
        {L"16btasmEXE", RegSz(L"/z /zi /n /m2")},
        {L"16btlinkEXE", RegSz(L"/x /v")},
        {L"32btasmEXE", RegSz(L"/z /zi /n /m2")},
        {L"32btlinkEXE", RegSz(L"/x /v /3")},
        {L"16btasmCOM", RegSz(L"/z /zi /n /m2")},
        {L"16btlinkCOM", RegSz(L"/x /v /t")},
        {L"32btasmCOM", RegSz(L"/z /zi /n /m2")},
        {L"32btlinkCOM", RegSz(L"/x /v /t /3")},
        {L"asmfiles", RegDword(1)},
    };
}

void CheckStoreHolds(const std::vector<StoreValue>& expected) {
    for (const StoreValue& v : expected) {
        Log(L"  value \"" + std::wstring(v.name) + L"\"");
        CHECK_EQ(RegGet(kHklm, kStore, v.name), v.data);
    }
}

void PutStore(const std::vector<StoreValue>& values) {
    for (const StoreValue& v : values)
        RegPut(kHklm, kStore, v.name, v.data);
}

// Starts the program, waits until its load step is over, and closes it.
void StartAndClose(const std::wstring& arguments = L"") {
    Program app = Program::Start(arguments);
    app.MainWindow();
    app.Close();
    REQUIRE(app.WaitForExit());
}

HWND OpenDialog(const Program& app, Command command, const wchar_t* className) {
    app.Click(command);
    return app.WaitForWindow(className, kStateTimeout);
}

void Cancel(HWND dialog, int cancelId) {
    PressButton(dialog, cancelId);
    REQUIRE_EVENTUALLY(!IsWindow(dialog));
}

// The ten settings the program holds while it runs, as its dialogs show them
// when they open: the TASM path, the TLINK path, then TASM and TLINK
// switches of the 16-bit EXE, 32-bit EXE, 16-bit COM and 32-bit COM builds.
std::vector<std::wstring> SettingsInTheDialogs(const Program& app) {
    std::vector<std::wstring> shown;
    for (auto [command, className] :
         {std::pair{Command::Tasm, L"KorvelineTasm"}, std::pair{Command::Tlink, L"KorvelineTlink"}}) {
        HWND tool = OpenDialog(app, command, className);
        shown.push_back(ControlText(tool, kIdToolText));
        Cancel(tool, kIdToolCancel);
    }
    HWND exe = OpenDialog(app, Command::CommandLines, L"KorvelineCommand");
    PressButton(exe, kIdOptionsCom);  // "Com files"
    HWND com = app.WaitForWindow(L"KorvelineCommand2", kStateTimeout);
    for (HWND dialog : {exe, com})
        for (int row : {0, 1}) {
            shown.push_back(ControlText(dialog, kIdOptionsTasm[row]));
            shown.push_back(ControlText(dialog, kIdOptionsTlink[row]));
        }
    Cancel(com, kIdOptionsCancel);
    Cancel(exe, kIdOptionsCancel);
    return shown;
}

bool RegChecked(const Program& app) {
    return app.Menu().Item(Command::AsmFiles).checked;
}

}  // namespace

E2E_TEST(Settings, FirstStartCreatesTheStore) {
    Program app = Program::Start();
    app.MainWindow();  // shown once its load step has run
    CheckStoreHolds(FirstRunStore());
    // Those values and no others (the marker is the default value, "").
    std::vector<std::wstring> names;
    for (const StoreValue& v : FirstRunStore())
        names.push_back(v.name);
    CHECK_EQ(RegValueNames(kHklm, kStore), SortedNoCase(names));
    CHECK(RegChecked(app));
    // The first start does not read back what it wrote: until the program
    // ends, it holds no tool paths and no switches.
    CHECK_EQ(SettingsInTheDialogs(app), std::vector<std::wstring>(10));
}

E2E_TEST(Settings, SecondStartKeepsWhatTheUserChanged) {
    StartAndClose();
    RegPut(kHklm, kStore, L"tasm", RegSz(L"C:\\TASM\\BIN\\TASM.EXE"));
    RegPut(kHklm, kStore, L"16btlinkEXE", RegSz(L"/x"));
    RegPut(kHklm, kStore, L"32btasmCOM", RegSz(L""));

    Program app = Program::Start();
    app.MainWindow();
    std::vector<StoreValue> expected = FirstRunStore();
    for (StoreValue& v : expected) {
        if (v.name == std::wstring(L"tasm"))
            v.data = RegSz(L"C:\\TASM\\BIN\\TASM.EXE");
        if (v.name == std::wstring(L"16btlinkEXE"))
            v.data = RegSz(L"/x");
        if (v.name == std::wstring(L"32btasmCOM"))
            v.data = RegSz(L"");
    }
    CheckStoreHolds(expected);
    CHECK(RegChecked(app));
    CHECK_EQ(SettingsInTheDialogs(app), (std::vector<std::wstring>{
                                            L"C:\\TASM\\BIN\\TASM.EXE", L"",  // tool paths
                                            L"/z /zi /n /m2", L"/x",          // 16-bit EXE
                                            L"/z /zi /n /m2", L"/x /v /3",    // 32-bit EXE
                                            L"/z /zi /n /m2", L"/x /v /t",    // 16-bit COM
                                            L"", L"/x /v /t /3",              // 32-bit COM
                                        }));
}

// The rules for the marker and the flag are unit-tested with every value;
// here, what only the real registry gives: a marker stored as text, a marker
// beyond 16 bits, and a flag that is neither 0 nor 1.
E2E_TEST(Settings, MarkerAndFlagAsTheRegistryHoldsThem) {
    struct Case {
        const wchar_t* what;
        RegData marker;
        RegData asmfiles;
        bool firstRun;
        bool checked;
    };
    const Case cases[] = {
        {L"marker \"1\" as a string, asmfiles 2", RegSz(L"1"), RegDword(2), false, false},
        {L"marker beyond 16 bits", RegDword(40000), RegDword(0), true, true},
    };
    for (const Case& c : cases) {
        Log(std::wstring(L"  case: ") + c.what);
        ResetMachineState();
        PutStore(FirstRunStore());
        RegPut(kHklm, kStore, L"", c.marker);
        RegPut(kHklm, kStore, L"tasm", RegSz(L"C:\\TASM\\TASM.EXE"));
        RegPut(kHklm, kStore, L"asmfiles", c.asmfiles);

        Program app = Program::Start();
        app.MainWindow();
        CHECK(!app.FindMessageBox());
        // A first run overwrites every value, the user's tool path too, and registers the association.
        CHECK_EQ(RegGet(kHklm, kStore, L""), c.firstRun ? RegDword(1) : c.marker);
        CHECK_EQ(RegGet(kHklm, kStore, L"tasm"), RegSz(c.firstRun ? L"" : L"C:\\TASM\\TASM.EXE"));
        CHECK_EQ(RegGet(kHklm, kStore, L"asmfiles"), c.firstRun ? RegDword(1) : c.asmfiles);
        CHECK_EQ(RegKeyExists(HKEY_CLASSES_ROOT, L".asm"), c.firstRun);
        CHECK_EQ(RegChecked(app), c.checked);
    }
}

E2E_TEST(Settings, AMissingValueEndsLoadingQuietly) {
    std::vector<StoreValue> store = FirstRunStore();
    store.erase(store.begin() + 2);  // tlink
    PutStore(store);
    RegPut(kHklm, kStore, L"tasm", RegSz(L"C:\\TASM\\TASM.EXE"));
    store[1].data = RegSz(L"C:\\TASM\\TASM.EXE");

    Program app = Program::Start();
    app.MainWindow();
    CHECK(!app.FindMessageBox());
    // The flag is not reached, so the item stays unchecked; nothing is repaired.
    CHECK(!RegChecked(app));
    CheckStoreHolds(store);
    CHECK_EQ(RegGet(kHklm, kStore, L"tlink"), RegMissing());
    CHECK_EQ(RegValueNames(kHklm, kStore).size(), store.size());
    // The TASM path read before the gap is held; the switches not reached take
    // their first-run strings, so builds still get working switches.
    CHECK_EQ(SettingsInTheDialogs(app), (std::vector<std::wstring>{
                                            L"C:\\TASM\\TASM.EXE",
                                            L"",
                                            L"/z /zi /n /m2",
                                            L"/x /v",
                                            L"/z /zi /n /m2",
                                            L"/x /v /3",
                                            L"/z /zi /n /m2",
                                            L"/x /v /t",
                                            L"/z /zi /n /m2",
                                            L"/x /v /t /3",
                                        }));
}

}  // namespace e2e
