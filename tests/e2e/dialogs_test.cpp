// The About box, the tool location dialogs and the build option dialogs:
// where they open, how they block the window under them, what OK, Cancel,
// Default and the close box do, and that they keep their size.
#include "app/win32/frm_about.h"
#include "driver/program.h"
#include "driver/registry.h"
#include "settings/dialog_ids.h"

namespace e2e {
namespace {

const HKEY kHklm = HKEY_LOCAL_MACHINE;
const wchar_t kStore[] = L"Software\\asm";
const wchar_t kAboutClass[] = L"KorvelineAbout";
const wchar_t kTasmClass[] = L"KorvelineTasm";
const wchar_t kTlinkClass[] = L"KorvelineTlink";
const wchar_t kExeClass[] = L"KorvelineCommand";
const wchar_t kComClass[] = L"KorvelineCommand2";

int ScreenDpi() {
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : 96;
}

int Px(int twips) {
    return (twips * ScreenDpi() + 720) / 1440;
}
int Twips(int pixels) {
    return (pixels * 1440 + ScreenDpi() / 2) / ScreenDpi();
}

RECT RectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

struct Point {
    int x, y;
    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
};
std::string Describe(const Point& p) {
    return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")";
}

Point TopLeft(HWND window) {
    const RECT r = RectOf(window);
    return {r.left, r.top};
}
Point SizeOf(HWND window) {
    const RECT r = RectOf(window);
    return {r.right - r.left, r.bottom - r.top};
}
// A point given in twips from a window's top-left corner, as the program
// places its dialogs.
Point Offset(Point base, int rightTwips, int downTwips) {
    return {Px(Twips(base.x) + rightTwips), Px(Twips(base.y) + downTwips)};
}

// Opens a dialog (the command is posted) and waits until it is shown.
HWND WaitForDialog(const Program& app, const wchar_t* className) {
    HWND dialog = app.WaitForWindow(className, kStateTimeout);
    if (!WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; }))
        Abort("the dialog was not shown");
    return dialog;
}

HWND Open(const Program& app, Command command, const wchar_t* className) {
    app.Click(command);
    return WaitForDialog(app, className);
}

void RequireClosed(HWND dialog) {
    REQUIRE_EVENTUALLY(!IsWindow(dialog));
}

// The window is enabled and is the active window again.
void CheckGivenBack(HWND window) {
    CHECK_EVENTUALLY(IsWindowEnabled(window) != FALSE);
    CHECK_EVENTUALLY_EQ(GetForegroundWindow(), window);
}

void SetText(HWND dialog, int id, const std::wstring& text) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 5000, &ignored);
    REQUIRE_EVENTUALLY_EQ(ControlText(dialog, id), text);
}

bool Ticked(HWND dialog, int id) {
    DWORD_PTR state = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
    return state == BST_CHECKED;
}

void Tick(HWND dialog, int id) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), BM_SETCHECK, BST_CHECKED, 0, SMTO_ABORTIFHUNG, 5000,
                        &ignored);
    REQUIRE(Ticked(dialog, id));
}

// The control that has the keyboard focus in the program's window thread.
HWND FocusOf(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

int FocusId(HWND dialog) {
    HWND focus = FocusOf(dialog);
    return focus ? GetDlgCtrlID(focus) : 0;
}

// Presses Tab in the focused control, as the keyboard would.
void PressTab(HWND dialog) {
    HWND focus = FocusOf(dialog);
    if (!focus)
        Abort("no control has the focus");
    PostMessageW(focus, WM_KEYDOWN, VK_TAB, 0x000F0001);
    PostMessageW(focus, WM_KEYUP, VK_TAB, 0xC00F0001);
}

// Drags the dialog's border by setting a new size from outside.
void Resize(HWND dialog, int width, int height) {
    SetWindowPos(dialog, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

E2E_TEST(Dialogs, AboutBoxOpensBesideTheMainWindowAndBlocksIt) {
    Program app = Program::Start();
    HWND main = app.MainWindow();
    // The main window stands elsewhere than at start-up: the box follows it.
    SetWindowPos(main, nullptr, 37, 52, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    REQUIRE_EVENTUALLY_EQ(TopLeft(main), (Point{37, 52}));

    for (bool closeBox : {false, true}) {
        HWND about = Open(app, Command::About, kAboutClass);
        CHECK_EQ(WindowText(about), std::wstring(L" Korveline"));
        CHECK_EQ(TopLeft(about), Offset(TopLeft(main), 900, 1000));
        CHECK_EQ(ControlText(about, kIdAboutOk), std::wstring(L"OK"));
        CHECK(IsWindowEnabled(main) == FALSE);
        Screenshot(L"about");
        if (closeBox)
            PostMessageW(about, WM_CLOSE, 0, 0);
        else
            PressButton(about, kIdAboutOk);
        RequireClosed(about);
        CheckGivenBack(main);
    }
}

E2E_TEST(Dialogs, ToolDialogsOpenAtTheirOffsetAndGiveTheMainWindowBackOnEveryClosing) {
    Program app = Program::Start();
    HWND main = app.MainWindow();
    const std::wstring tlinkExe = WorkFolder() + L"\\TLINK.EXE";
    WriteBytes(tlinkExe, "MZ");

    struct Case {
        Command command;
        const wchar_t* className;
        const wchar_t* caption;
        enum { Ok, Cancel, CloseBox } closing;
    };
    const Case cases[] = {
        {Command::Tasm, kTasmClass, L" tasm", Case::Cancel},
        {Command::Tasm, kTasmClass, L" tasm", Case::CloseBox},
        {Command::Tlink, kTlinkClass, L" tlink", Case::Ok},
        {Command::Tlink, kTlinkClass, L" tlink", Case::CloseBox},
    };
    for (const Case& c : cases) {
        Log(L"  dialog" + std::wstring(c.caption) + L", closing " + std::to_wstring(c.closing));
        HWND dialog = Open(app, c.command, c.className);
        CHECK_EQ(WindowText(dialog), std::wstring(c.caption));
        CHECK_EQ(TopLeft(dialog), Offset(TopLeft(main), 400, 500));
        CHECK_EQ(SizeOf(dialog), (Point{Px(5820), Px(1935)}));
        CHECK(IsWindowEnabled(main) == FALSE);
        switch (c.closing) {
            case Case::Ok:
                SetText(dialog, kIdToolText, tlinkExe);
                PressButton(dialog, kIdToolOk);
                break;
            case Case::Cancel:
                PressButton(dialog, kIdToolCancel);
                break;
            case Case::CloseBox:
                PostMessageW(dialog, WM_CLOSE, 0, 0);
                break;
        }
        RequireClosed(dialog);
        CheckGivenBack(main);
    }
    CHECK_EQ(RegGet(kHklm, kStore, L"tlink"), RegSz(tlinkExe));
}

E2E_TEST(Dialogs, ToolBrowseTakesOnlyItsFileAndOkRefusesAMissingFileButSavesAnyOther) {
    Program app = Program::Start();
    app.MainWindow();

    HWND tasm = Open(app, Command::Tasm, kTasmClass);
    CHECK_EQ(ControlText(tasm, kIdToolText), std::wstring(L""));
    // Browse takes only a file named tasm.exe.
    const std::wstring other = WorkFolder() + L"\\tasm32.exe", tasmExe = WorkFolder() + L"\\tasm.exe";
    WriteBytes(other, "MZ");
    WriteBytes(tasmExe, "MZ");
    for (const std::wstring& chosen : {other, tasmExe}) {
        PressButton(tasm, kIdToolBrowse);
        HWND open = app.WaitForFileDialog();
        ChooseFile(open, chosen);
        REQUIRE_EVENTUALLY(!IsWindow(open));
    }
    CHECK_EVENTUALLY_EQ(ControlText(tasm, kIdToolText), tasmExe);
    CHECK_EQ(RegGet(kHklm, kStore, L"tasm"), RegSz(L""));

    SetText(tasm, kIdToolText, L"");
    PressButton(tasm, kIdToolOk);
    HWND box = app.WaitForMessageBox();
    CHECK_EQ(MessageBoxText(box), std::wstring(L"It is not a 'tasm.exe' file."));
    CHECK_EQ(WindowText(box), std::wstring(L"Korveline"));
    Screenshot(L"tasm-missing-file");
    PressButton(box, IDOK);
    REQUIRE_EVENTUALLY(app.FindMessageBox() == nullptr);
    CHECK(IsWindow(tasm) && IsWindowVisible(tasm));
    CHECK_EQ(RegGet(kHklm, kStore, L"tasm"), RegSz(L""));

    // Any existing file is taken, whatever its name, and replaces a value of another type.
    RegPut(kHklm, kStore, L"tasm", RegDword(3));
    const std::wstring notes = WorkFolder() + L"\\notes.txt";
    WriteBytes(notes, "not an assembler");
    SetText(tasm, kIdToolText, notes);
    PressButton(tasm, kIdToolOk);
    RequireClosed(tasm);
    CHECK(app.FindMessageBox() == nullptr);
    CHECK_EQ(RegGet(kHklm, kStore, L"tasm"), RegSz(notes));

    // The next opening shows the saved path.
    tasm = Open(app, Command::Tasm, kTasmClass);
    CHECK_EQ(ControlText(tasm, kIdToolText), notes);
    PressButton(tasm, kIdToolCancel);
    RequireClosed(tasm);
}

E2E_TEST(Dialogs, BuildOptionDialogsOpenInPlaceFocusOnOkAndBlockWhatOpenedThem) {
    Program app = Program::Start();
    HWND main = app.MainWindow();

    // The first start leaves the switch strings empty until the next start.
    HWND exe = Open(app, Command::CommandLines, kExeClass);
    CHECK_EQ(WindowText(exe), std::wstring(L" Command Lines"));
    CHECK_EQ(TopLeft(exe), Offset(TopLeft(main), 400, 500));
    CHECK_EQ(SizeOf(exe), (Point{Px(7020), Px(3540)}));
    CHECK_EQ(ControlText(exe, kIdOptionsTasm[0]), std::wstring(L""));
    CHECK_EQ(ControlText(exe, kIdOptionsFrame[1]), std::wstring(L"32b EXE"));
    CHECK(!Ticked(exe, kIdOptionsSave[0]) && !Ticked(exe, kIdOptionsSave[1]));
    CHECK_EVENTUALLY_EQ(FocusId(exe), kIdOptionsOk);
    Screenshot(L"command-lines");

    // Tab: 16-bit TASM, 16-bit TLINK, 16-bit box, 32-bit TLINK, 32-bit TASM, 32-bit box, Cancel, Com files,
    // Default.
    const int exeOrder[] = {kIdOptionsTasm[0], kIdOptionsTlink[0], kIdOptionsSave[0], kIdOptionsTlink[1],
                            kIdOptionsTasm[1], kIdOptionsSave[1],  kIdOptionsCancel,  kIdOptionsCom,
                            kIdOptionsDefault, kIdOptionsOk};
    for (int id : exeOrder) {
        PressTab(exe);
        CHECK_EVENTUALLY_EQ(FocusId(exe), id);
    }

    PressButton(exe, kIdOptionsCom);
    HWND com = WaitForDialog(app, kComClass);
    CHECK_EQ(WindowText(com), std::wstring(L" Com Command Line"));
    CHECK_EQ(TopLeft(com), (Point{Offset(TopLeft(main), 800, 0).x, Offset(TopLeft(exe), 0, 570).y}));
    CHECK_EQ(ControlText(com, kIdOptionsFrame[0]), std::wstring(L"16b COM"));
    CHECK(GetDlgItem(com, kIdOptionsCom) == nullptr);
    CHECK_EVENTUALLY_EQ(FocusId(com), kIdOptionsOk);
    Screenshot(L"com-command-line");
    const int comOrder[] = {kIdOptionsTlink[0], kIdOptionsTasm[0], kIdOptionsTlink[1],
                            kIdOptionsTasm[1],  kIdOptionsCancel,  kIdOptionsDefault,
                            kIdOptionsSave[0],  kIdOptionsSave[1], kIdOptionsOk};
    for (int id : comOrder) {
        PressTab(com);
        CHECK_EVENTUALLY_EQ(FocusId(com), id);
    }

    // The COM dialog blocks the EXE dialog; closing it gives the EXE dialog back, not the main window.
    CHECK(IsWindowEnabled(exe) == FALSE && IsWindowEnabled(main) == FALSE);
    PostMessageW(com, WM_CLOSE, 0, 0);  // the close box
    RequireClosed(com);
    CheckGivenBack(exe);
    CHECK(IsWindowEnabled(main) == FALSE);
    PressButton(exe, kIdOptionsCom);
    com = WaitForDialog(app, kComClass);
    PressButton(com, kIdOptionsOk);
    RequireClosed(com);
    CheckGivenBack(exe);
    PostMessageW(exe, WM_CLOSE, 0, 0);
    RequireClosed(exe);
    CheckGivenBack(main);
}

E2E_TEST(Dialogs, DefaultThenOkWritesBothKindsAndOkWritesOnlyTickedKinds) {
    Program app = Program::Start();
    HWND main = app.MainWindow();
    // Values that differ from the defaults, as if another program had changed them.
    for (const wchar_t* name : {L"16btasmEXE", L"16btlinkEXE", L"32btasmEXE", L"32btlinkEXE"})
        RegPut(kHklm, kStore, name, RegSz(L"old"));

    HWND exe = Open(app, Command::CommandLines, kExeClass);
    PressButton(exe, kIdOptionsDefault);
    CHECK_EVENTUALLY_EQ(ControlText(exe, kIdOptionsTlink[1]), std::wstring(L"/x /v /3"));
    CHECK_EQ(ControlText(exe, kIdOptionsTasm[0]), std::wstring(L"/z /zi /n /m2"));
    CHECK(Ticked(exe, kIdOptionsSave[0]) && Ticked(exe, kIdOptionsSave[1]));
    CHECK_EQ(RegGet(kHklm, kStore, L"16btlinkEXE"), RegSz(L"old"));
    PressButton(exe, kIdOptionsOk);
    RequireClosed(exe);
    CheckGivenBack(main);
    CHECK_EQ(RegGet(kHklm, kStore, L"16btasmEXE"), RegSz(L"/z /zi /n /m2"));
    CHECK_EQ(RegGet(kHklm, kStore, L"16btlinkEXE"), RegSz(L"/x /v"));
    CHECK_EQ(RegGet(kHklm, kStore, L"32btasmEXE"), RegSz(L"/z /zi /n /m2"));
    CHECK_EQ(RegGet(kHklm, kStore, L"32btlinkEXE"), RegSz(L"/x /v /3"));

    // Only the 32-bit box ticked: the 16-bit values stay; a cleared box is stored empty.
    exe = Open(app, Command::CommandLines, kExeClass);
    CHECK_EQ(ControlText(exe, kIdOptionsTlink[0]), std::wstring(L"/x /v"));
    CHECK(!Ticked(exe, kIdOptionsSave[0]) && !Ticked(exe, kIdOptionsSave[1]));
    SetText(exe, kIdOptionsTasm[0], L"/t16");
    SetText(exe, kIdOptionsTasm[1], L"/t32 /ml");
    SetText(exe, kIdOptionsTlink[1], L"");
    Tick(exe, kIdOptionsSave[1]);
    PressButton(exe, kIdOptionsOk);
    RequireClosed(exe);
    CHECK_EQ(RegGet(kHklm, kStore, L"16btasmEXE"), RegSz(L"/z /zi /n /m2"));
    CHECK_EQ(RegGet(kHklm, kStore, L"32btasmEXE"), RegSz(L"/t32 /ml"));
    CHECK_EQ(RegGet(kHklm, kStore, L"32btlinkEXE"), RegSz(L""));

    // Both kinds were applied for this run all the same.
    exe = Open(app, Command::CommandLines, kExeClass);
    CHECK_EQ(ControlText(exe, kIdOptionsTasm[0]), std::wstring(L"/t16"));
    CHECK_EQ(ControlText(exe, kIdOptionsTlink[1]), std::wstring(L""));
    PressButton(exe, kIdOptionsCancel);
    RequireClosed(exe);
}

E2E_TEST(Dialogs, DialogsSnapBackToTheirSizeWhenResizedButNotWhenMaximised) {
    Program app = Program::Start();
    app.MainWindow();

    struct Case {
        Command command;
        const wchar_t* className;
        Point size;
        int cancelId;
    };
    const Case cases[] = {
        {Command::Tlink, kTlinkClass, {Px(5820), Px(1935)}, kIdToolCancel},
        {Command::CommandLines, kExeClass, {Px(7020), Px(3540)}, kIdOptionsCancel},
    };
    for (const Case& c : cases) {
        HWND dialog = Open(app, c.command, c.className);
        const Point at = TopLeft(dialog);
        Resize(dialog, c.size.x + 150, c.size.y + 90);
        CHECK_EVENTUALLY_EQ(SizeOf(dialog), c.size);
        Resize(dialog, c.size.x / 2, c.size.y / 2);
        CHECK_EVENTUALLY_EQ(SizeOf(dialog), c.size);
        CHECK_EQ(TopLeft(dialog), at);
        // Maximised, the dialog is left as it is; restored, it has its size again.
        ShowWindowAsync(dialog, SW_MAXIMIZE);
        CHECK_EVENTUALLY(IsZoomed(dialog) && SizeOf(dialog).x > c.size.x);
        ShowWindowAsync(dialog, SW_RESTORE);
        CHECK_EVENTUALLY(!IsZoomed(dialog) && SizeOf(dialog) == c.size);
        PressButton(dialog, c.cancelId);
        RequireClosed(dialog);
    }
}

}  // namespace e2e
