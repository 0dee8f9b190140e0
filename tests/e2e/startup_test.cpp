// Starting the program: the splash, the main window with the default document
// and the menu bar, the store and the association in the real registry, and a
// file opened from the shell.
#include <windows.h>

#include <shellapi.h>

#include "driver/program.h"
#include "driver/registry.h"
#include "settings/dialog_ids.h"

namespace e2e {
namespace {

const HKEY kHklm = HKEY_LOCAL_MACHINE, kHkcr = HKEY_CLASSES_ROOT;
const wchar_t kStore[] = L"Software\\asm";

// A window's place and size (left, top, width, height), or the size of its client area.
std::vector<long> Rect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}
std::vector<long> Size(HWND window, bool client) {
    RECT r{};
    client ? GetClientRect(window, &r) : GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// The association's keys for the program at `exe`, or (when unregistered) none.
std::vector<RegData> Association(const std::wstring& exe, bool registered) {
    const auto value = [&](const std::wstring& text) { return registered ? RegSz(text) : RegMissing(); };
    return {value(L"Korveline.Qorvath"), value(L"Korveline"), value(exe + L" %1"), value(exe + L",0"),
            RegDword(registered)};
}
std::vector<RegData> AssociationNow() {
    return {RegGet(kHkcr, L".asm", L""), RegGet(kHkcr, L".asm", L"Content Type"),
            RegGet(kHkcr, L"Korveline.Qorvath\\Shell\\Open\\command", L""),
            RegGet(kHkcr, L"Korveline.Qorvath\\DefaultIcon", L""), RegGet(kHklm, kStore, L"asmfiles")};
}

bool Checked(const Program& app) {
    return app.Menu().Item(Command::AsmFiles).checked;
}

}  // namespace

E2E_TEST(Startup, SplashThenMainWindowWithTheDefaultDocumentAndTheMenuBar) {
    Program app = Program::Start();
    HWND splash = app.WaitForWindow(kSplashClass);
    CHECK(!IsWindowVisible(app.FindWindowOfClass(kMainClass)));
    CHECK_EQ(GetWindowLongW(splash, GWL_STYLE) & WS_CAPTION, 0);  // a bare picture, no task-bar button
    CHECK(GetWindowLongW(splash, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    CHECK_EQ(Rect(splash)[2], Px(5880));
    CHECK_EQ(Rect(splash)[3], Px(2265));

    HWND main = app.MainWindow();
    CHECK_EVENTUALLY(!app.FindWindowOfClass(kSplashClass));
    CHECK_EQ(app.Caption(), ProgramFolder() + L"\\asm1.asm");
    CHECK_EQ(app.EditorText(), L"");
    CHECK_EQ(Rect(main)[0], Px(1400));
    CHECK_EQ(Rect(main)[1], Px(1000));
    CHECK_EQ(Size(app.Editor(), false), Size(main, true));  // the editor fills the window, resized too
    SetWindowPos(main, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CHECK_EVENTUALLY_EQ(Size(app.Editor(), false), Size(main, true));
    ShowWindow(main, SW_MINIMIZE);  // minimised and restored, the editor keeps its size
    CHECK_EVENTUALLY(IsIconic(main));
    ShowWindow(main, SW_RESTORE);
    CHECK_EVENTUALLY_EQ(Size(app.Editor(), false), Size(main, true));
    CHECK_EQ(Rect(main)[2], 700);

    // Every item enabled but "Run Compile file"; only "Open with *.asm" checked.
    const std::vector<std::wstring> expected = {
        L"&File: &New Project\tCtrl+N|&Open Project...\tCtrl+O|-|&Save Project\tCtrl+S|"
        L"Sav&e Project As...\tCtrl+E|-|E&xit\tCtrl+Q",
        L"&Edit: Cut\tCtrl+X|&Copy\tCtrl+C|&Paste\tCtrl+V|&Undo\tCtrl+Z|&Delete\tCtrl+D|"
        L"Select &All      \tCtrl+A",
        L"Com&pile: Make 16&b EXE file\tCtrl+B|Make 32b EXE fi&le\tCtrl+L|-|Make 16b CO&M file\tCtrl+M|"
        L"Make 32b COM &file\tCtrl+F",
        L"&Run: (grayed) Run Compile file\tShift+F5",
        L"&Options: Command Lines...\tCtrl+F9|(checked) Open &with "
        L"*.asm\tCtrl+W|&Tasm\tCtrl+T|Tlin&k\tCtrl+K",
        L"Hel&p: Abo&ut Korveline...\tCtrl+U",
    };
    std::vector<std::wstring> shown;
    for (const MenuPopup& popup : app.Menu().popups) {
        std::wstring line = popup.caption + L": ";
        for (const MenuItem& item : popup.items)
            line += item.separator ? L"-|"
                                   : std::wstring(item.grayed ? L"(grayed) " : L"") +
                                         (item.checked ? L"(checked) " : L"") + item.text + L"|";
        shown.push_back(line.substr(0, line.size() - 1));
    }
    CHECK_EQ(shown, expected);

    app.Close();  // unchanged: no question
    CHECK(app.WaitForExit());
    CHECK(!app.FindMessageBox());
}

// The first start writes the store and the association, Open with *.asm
// switches it, a later start (here from the shell) reads the store, and the
// Tasm dialog takes its file from the Open dialog and writes it.
E2E_TEST(Startup, FirstStartWritesTheStoreAndTheAssociationAndALaterStartLoadsTheStore) {
    {
        Program app = Program::Start();
        app.MainWindow();
        CHECK_EQ(RegValues(kHklm, kStore), (std::vector<std::string>{
                                               "16btasmCOM: REG_SZ \"/z /zi /n /m2\"",
                                               "16btasmEXE: REG_SZ \"/z /zi /n /m2\"",
                                               "16btlinkCOM: REG_SZ \"/x /v /t\"",
                                               "16btlinkEXE: REG_SZ \"/x /v\"",
                                               "32btasmCOM: REG_SZ \"/z /zi /n /m2\"",
                                               "32btasmEXE: REG_SZ \"/z /zi /n /m2\"",
                                               "32btlinkCOM: REG_SZ \"/x /v /t /3\"",
                                               "32btlinkEXE: REG_SZ \"/x /v /3\"",
                                               ": REG_DWORD 1",  // the default value
                                               "asmfiles: REG_DWORD 1",
                                               "tasm: REG_SZ \"\"",
                                               "tlink: REG_SZ \"\"",
                                           }));
        CHECK_EQ(AssociationNow(), Association(ProgramPath(), true));  // the path not quoted
        CHECK(Checked(app));
        for (bool on : {false, true}) {
            app.Click(Command::AsmFiles);
            CHECK_EVENTUALLY_EQ(Checked(app), on);
            CHECK_EQ(AssociationNow(), Association(ProgramPath(), on));
        }
        CHECK(!app.FindMessageBox());
        app.Close();
        REQUIRE(app.WaitForExit());
    }
    RegPut(kHklm, kStore, L"tasm", RegSz(L"C:\\TASM\\BIN\\TASM.EXE"));
    RegPut(kHklm, kStore, L"32btlinkEXE", RegSz(L"/x"));
    const std::wstring file = WorkFolder() + L"\\my sources\\shell opened.asm";
    WriteBytes(file, "nop\r\n");
    REQUIRE(INT_PTR(ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32);
    Program app = Program::AttachToStarted();
    CHECK_EQ(app.Caption(), file);  // the whole path, blanks included, is the command line
    CHECK_EQ(app.EditorText(), L"nop\r\n");
    app.Click(Command::Tasm);
    HWND tasm = app.WaitForWindow(L"KorvelineTasm", kStateTimeout);
    CHECK_EQ(ControlText(tasm, kIdToolText), L"C:\\TASM\\BIN\\TASM.EXE");
    const std::wstring tasmExe = WorkFolder() + L"\\tasm.exe";
    WriteBytes(tasmExe, "MZ");
    PressButton(tasm, kIdToolBrowse);
    HWND open = app.WaitForFileDialog();
    ChooseFile(open, tasmExe);
    REQUIRE_EVENTUALLY(!IsWindow(open));
    CHECK_EVENTUALLY_EQ(ControlText(tasm, kIdToolText), tasmExe);
    RegPut(kHklm, kStore, L"tasm", RegDword(3));  // replaced by a string
    PressButton(tasm, kIdToolOk);
    REQUIRE_EVENTUALLY(!IsWindow(tasm));
    CHECK_EQ(RegGet(kHklm, kStore, L"tasm"), RegSz(tasmExe));
    app.Click(Command::CommandLines);
    HWND exe = app.WaitForWindow(L"KorvelineCommand", kStateTimeout);
    CHECK_EQ(ControlText(exe, kIdOptionsTlink[1]), L"/x");
    CHECK_EQ(ControlText(exe, kIdOptionsTlink[0]), L"/x /v");
}

}  // namespace e2e
