// The About box, the tool location dialogs and the build option dialogs:
// where they open, how they block the window under them, what OK, Cancel,
// Default, Tab and the close box do, and that they keep their size.
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

int Dpi() {
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : 96;
}
int Px(int twips) {
    return (twips * Dpi() + 720) / 1440;
}

struct Point {
    int x, y;
    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
};
std::string Describe(const Point& p) {
    return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")";
}
Point TopLeft(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.left, r.top};
}
Point SizeOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}
// A point given in twips from a window's top-left corner, as the program places its dialogs.
Point Offset(Point base, int rightTwips, int downTwips) {
    const int dpi = Dpi();
    return {Px((base.x * 1440 + dpi / 2) / dpi + rightTwips),
            Px((base.y * 1440 + dpi / 2) / dpi + downTwips)};
}

HWND WaitForDialog(const Program& app, const wchar_t* className) {
    return app.WaitForWindow(className, kStateTimeout);  // shown, so loaded
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

LRESULT SendTo(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}
void SetText(HWND dialog, int id, const std::wstring& text) {
    SendTo(dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    REQUIRE_EVENTUALLY_EQ(ControlText(dialog, id), text);
}
bool Ticked(HWND dialog, int id) {
    return SendTo(dialog, id, BM_GETCHECK, 0) == BST_CHECKED;
}
void Untick(HWND dialog, int id) {
    SendTo(dialog, id, BM_SETCHECK, BST_UNCHECKED);
    REQUIRE(!Ticked(dialog, id));
}

// The control that has the keyboard focus in the program's window thread.
HWND FocusOf(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) ? info.hwndFocus : nullptr;
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

E2E_TEST(Dialogs, EachDialogOpensAtItsPlaceBlocksWhatOpenedItAndGivesItBackOnEveryClosing) {
    Program app = Program::Start();
    HWND main = app.MainWindow();
    SetWindowPos(main, nullptr, 37, 52, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // the dialogs follow the window
    REQUIRE_EVENTUALLY_EQ(TopLeft(main), (Point{37, 52}));
    struct Case {
        Command command;
        const wchar_t *className, *caption;
        Point offset, size;
        int closeId;  // 0: the close box
    };
    const Case cases[] = {
        {Command::About, kAboutClass, L" Korveline", {900, 1000}, {0, 0}, kIdAboutOk},
        {Command::About, kAboutClass, L" Korveline", {900, 1000}, {0, 0}, 0},
        {Command::Tasm, kTasmClass, L" tasm", {400, 500}, {5820, 1935}, kIdToolCancel},
        {Command::Tlink, kTlinkClass, L" tlink", {400, 500}, {5820, 1935}, 0},
        {Command::CommandLines, kExeClass, L" Command Lines", {400, 500}, {7020, 3540}, kIdOptionsCancel},
    };
    for (const Case& c : cases) {
        Log(std::wstring(L"  dialog") + c.caption);
        HWND dialog = Open(app, c.command, c.className);
        CHECK_EQ(WindowText(dialog), std::wstring(c.caption));
        CHECK_EQ(TopLeft(dialog), Offset(TopLeft(main), c.offset.x, c.offset.y));
        if (c.size.x) {
            CHECK_EQ(SizeOf(dialog), (Point{Px(c.size.x), Px(c.size.y)}));
            Resize(dialog, Px(c.size.x) + 150,
                   Px(c.size.y) / 2);  // dragged: it snaps back, but not maximised
            CHECK_EVENTUALLY_EQ(SizeOf(dialog), (Point{Px(c.size.x), Px(c.size.y)}));
            ShowWindowAsync(dialog, SW_MAXIMIZE);
            CHECK_EVENTUALLY(IsZoomed(dialog) && SizeOf(dialog).x > Px(c.size.x));
            ShowWindowAsync(dialog, SW_RESTORE);
            CHECK_EVENTUALLY(!IsZoomed(dialog) && SizeOf(dialog) == (Point{Px(c.size.x), Px(c.size.y)}));
        }
        CHECK(IsWindowEnabled(main) == FALSE);
        Screenshot(L"dialog" + std::wstring(c.caption));
        c.closeId ? PressButton(dialog, c.closeId) : (void)PostMessageW(dialog, WM_CLOSE, 0, 0);
        RequireClosed(dialog);
        CheckGivenBack(main);
    }
}

E2E_TEST(Dialogs, ToolBrowseTakesOnlyItsFileAndOkRefusesAMissingFileButSavesAnyOther) {
    Program app = Program::Start();
    HWND tasm = Open(app, Command::Tasm, kTasmClass);
    const std::wstring other = WorkFolder() + L"\\tasm32.exe", tasmExe = WorkFolder() + L"\\tasm.exe";
    WriteBytes(other, "MZ");
    WriteBytes(tasmExe, "MZ");
    for (const std::wstring& chosen : {tasmExe, other}) {
        PressButton(tasm, kIdToolBrowse);
        HWND open = app.WaitForFileDialog();
        ChooseFile(open, chosen);
        REQUIRE_EVENTUALLY(!IsWindow(open));
    }
    CHECK_EVENTUALLY_EQ(ControlText(tasm, kIdToolText), tasmExe);
    SetText(tasm, kIdToolText, L"");
    PressButton(tasm, kIdToolOk);
    HWND box = app.WaitForMessageBox();
    CHECK_EQ(MessageBoxText(box), std::wstring(L"It is not a 'tasm.exe' file."));
    PressButton(box, IDOK);
    REQUIRE_EVENTUALLY(app.FindMessageBox() == nullptr);
    CHECK(IsWindow(tasm) && IsWindowVisible(tasm));
    CHECK_EQ(RegGet(kHklm, kStore, L"tasm"), RegSz(L""));
    RegPut(kHklm, kStore, L"tasm",
           RegDword(3));  // any existing file is taken and replaces a value of another type
    SetText(tasm, kIdToolText, other);
    PressButton(tasm, kIdToolOk);
    RequireClosed(tasm);
    CHECK_EQ(RegGet(kHklm, kStore, L"tasm"), RegSz(other));
}

E2E_TEST(Dialogs, BuildOptionDialogsTabInTheirOrderTheComDialogBlocksTheExeDialogAndOkWritesTickedKinds) {
    Program app = Program::Start();
    HWND main = app.MainWindow();
    for (const wchar_t* name : {L"16btasmEXE", L"16btlinkEXE", L"32btasmEXE", L"32btlinkEXE"})
        RegPut(kHklm, kStore, name, RegSz(L"old"));
    HWND exe = Open(app, Command::CommandLines, kExeClass);
    CHECK_EQ(ControlText(exe, kIdOptionsFrame[1]), std::wstring(L"32b EXE"));
    CHECK_EVENTUALLY_EQ(FocusId(exe), kIdOptionsOk);
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
    CHECK(GetDlgItem(com, kIdOptionsCom) == nullptr);
    CHECK_EVENTUALLY_EQ(FocusId(com), kIdOptionsOk);
    const int comOrder[] = {kIdOptionsTlink[0], kIdOptionsTasm[0], kIdOptionsTlink[1],
                            kIdOptionsTasm[1],  kIdOptionsCancel,  kIdOptionsDefault,
                            kIdOptionsSave[0],  kIdOptionsSave[1], kIdOptionsOk};
    for (int id : comOrder) {
        PressTab(com);
        CHECK_EVENTUALLY_EQ(FocusId(com), id);
    }
    CHECK(IsWindowEnabled(exe) == FALSE && IsWindowEnabled(main) == FALSE);
    PostMessageW(com, WM_CLOSE, 0, 0);
    RequireClosed(com);
    CheckGivenBack(exe);  // not the main window
    CHECK(IsWindowEnabled(main) == FALSE);

    PressButton(exe, kIdOptionsDefault);
    CHECK_EVENTUALLY_EQ(ControlText(exe, kIdOptionsTlink[1]), std::wstring(L"/x /v /3"));
    CHECK(Ticked(exe, kIdOptionsSave[0]) && Ticked(exe, kIdOptionsSave[1]));
    SetText(exe, kIdOptionsTasm[0], L"/t16");
    Untick(exe, kIdOptionsSave[0]);
    PressButton(exe, kIdOptionsOk);
    RequireClosed(exe);
    CheckGivenBack(main);
    CHECK_EQ(RegGet(kHklm, kStore, L"16btasmEXE"), RegSz(L"old"));
    CHECK_EQ(RegGet(kHklm, kStore, L"32btasmEXE"), RegSz(L"/z /zi /n /m2"));
    CHECK_EQ(RegGet(kHklm, kStore, L"32btlinkEXE"), RegSz(L"/x /v /3"));
    exe = Open(app, Command::CommandLines, kExeClass);  // both kinds apply to this run all the same
    CHECK_EQ(ControlText(exe, kIdOptionsTasm[0]), std::wstring(L"/t16"));
    CHECK(!Ticked(exe, kIdOptionsSave[0]) && !Ticked(exe, kIdOptionsSave[1]));
}

}  // namespace e2e
