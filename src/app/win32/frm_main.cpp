// The main window: its making, its menu bar, its load, resize and unload
// steps, and the messages it routes. Its commands are in frm_main_commands.cpp.
#include "app/win32/frm_main.h"

#include <vector>

#include "platform/win32/win32_platform.h"
#include "shell/file_association.h"

namespace {

const wchar_t kMainClass[] = L"KorvelineMain";
constexpr int kTxtCodeId = 1000;

// Design sizes in twips.
constexpr int kDesignClientWidth = 9255;
constexpr int kDesignClientHeight = 5685;
constexpr int kLoadLeft = 1400;
constexpr int kLoadTop = 1000;

ACCEL AcceleratorOf(Shortcut shortcut, Command command) {
    // Without FALT a key fires only while Alt is up, so AltGr (Ctrl+Alt)
    // types its character instead.
    BYTE flags = FVIRTKEY;
    if (shortcut.modifiers & kCtrl)
        flags |= FCONTROL;
    if (shortcut.modifiers & kShift)
        flags |= FSHIFT;
    return ACCEL{flags, shortcut.key, static_cast<WORD>(CommandIdOf(command))};
}

}  // namespace

FrmMain::FrmMain(ProgramContext& program)
    : program_(program),
      CDialog(program.platform.fileDialogs),
      documents_(program.platform, document_, CDialog),
      txtCode(document_),
      session_(program.platform,
               program.user,
               dosHost_,
               [this] { PostMessageW(Hwnd(), WM_BUILD_ENDED, 0, 0); }),
      frmBuildResults(program.user, [this](std::size_t line, unsigned build, unsigned generation) {
          GoToResultLine(line, build, generation);
      }) {
    document_.FollowCaption(kDesignCaption);
    document_.Listen(*this);
}

FrmMain::~FrmMain() {
    dosHost_.StopWatching();
    if (accelerators_)
        DestroyAcceleratorTable(accelerators_);
}

void FrmMain::Show() {
    RegisterWindowClass(kMainClass);
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    Create(kMainClass, kDesignCaption, style, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT);
    if (!Hwnd())
        return;
    BuildMenuBar();
    RECT r{0, 0, Px(kDesignClientWidth), Px(kDesignClientHeight)};
    AdjustWindowRectEx(&r, style, TRUE, 0);
    SetWindowPos(Hwnd(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    // The editor is the program's own text view: the edit control takes
    // seconds to lay out a large source, the view lays out what is in sight.
    txtCode.CreateControl(Hwnd(), kTxtCodeId, WS_VSCROLL | WS_HSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 0, 0,
                          Px(kDesignClientWidth), Px(kDesignClientHeight));
    SetEditorFont(Dpi());
    const UserSettings& user = program_.user;
    txtCode.SetViewSettings({user.Switch(UserSwitch::ColourSyntax), user.Switch(UserSwitch::LineNumbers),
                             user.Switch(UserSwitch::FindWrapAround)});
    if (auto* clipboard = dynamic_cast<Win32Clipboard*>(&program_.platform.clipboard))
        clipboard->SetOwner(Hwnd());
    Form_Load();
    ShowWindow(Hwnd(), SW_SHOWNORMAL);
    Form_Resize();
    SetFocus(txtCode.Hwnd());
}

void FrmMain::SetEditorFont(int dpi) {
    editorFont_.Reset(MakeFont(L"Fixedsys", 9.75, dpi, false, true));
    SetControlFont(txtCode.Hwnd(), editorFont_.Get());
}

// The menu bar as the table has it, and one accelerator table for its
// shortcuts and the keys the editor's commands use.
void FrmMain::BuildMenuBar() {
    menuBar_ = CreateMenu();
    std::vector<HMENU> popups;
    for (const TopMenu& top : kTopMenus) {
        popups.push_back(CreatePopupMenu());
        AppendMenuW(menuBar_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popups.back()), top.caption);
    }
    std::vector<ACCEL> accels;
    for (const MenuEntry& e : kMenuEntries) {
        if (!e.caption) {
            AppendMenuW(popups[e.menu], MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const std::wstring text = std::wstring(e.caption) + L"\t" + ShortcutText(e.shortcut);
        AppendMenuW(popups[e.menu], MF_STRING | (e.enabledAtStart ? 0 : MF_GRAYED), CommandIdOf(e.command),
                    text.c_str());
        accels.push_back(AcceleratorOf(e.shortcut, e.command));
    }
    for (const FreeKey& k : kFreeKeys)
        accels.push_back(AcceleratorOf(k.shortcut, k.command));
    SetMenu(Hwnd(), menuBar_);
    accelerators_ = CreateAcceleratorTableW(accels.data(), static_cast<int>(accels.size()));
}

void FrmMain::Form_Load() {
    SkipOnFailure([&] { MoveTo(kLoadLeft, kLoadTop); });
    RunMainLoadStep(program_, fields_, document_, [this] {
        RegisterAsmFiles(program_.platform, program_.regShell, fields_.settings.mnuRegChecked);
    });
    UpdateMenuBar();
}

void FrmMain::Form_Resize() {
    if (IsIconic(Hwnd()))
        return;  // a minimised window leaves the editor as it was
    RECT client{};
    GetClientRect(Hwnd(), &client);
    // The editor fills the client area: the window's outer size less its
    // caption, menu bar and borders.
    MoveWindow(txtCode.Hwnd(), 0, 0, client.right, client.bottom, TRUE);
}

void FrmMain::ExitCheckOnce() {
    if (!exitChecked_) {
        exitChecked_ = true;
        documents_.ExitCheck();
    }
}

void FrmMain::Form_Unload() {
    ExitCheckOnce();
    DestroyWindow(Hwnd());
}

void FrmMain::DocumentChanged(DocumentChange change, std::size_t) {
    if (change == DocumentChange::Path && Hwnd())
        SetWindowTextW(Hwnd(), document_.Path().c_str());
}

void FrmMain::ShowFailure(const std::wstring& what, const PlatformError& error) {
    program_.platform.messages.Show(what + L"\r\n\r\n" + program_.platform.system.ErrorText(error.Code()),
                                    kMbOk | kMbIconStop);
}

// A build with something to say opens the results; a clean one leaves the
// user alone, and updates the window only if it is open.
void FrmMain::OnBuildEnded() {
    const std::optional<BuildResults> results = session_.TakeEnded();
    UpdateMenuBar();
    if (!results)
        return;
    if (results->worthShowing)
        frmBuildResults.Show(Hwnd(), *results);
    else
        frmBuildResults.Update(*results);
}

// Caret at the start of the line, the line selected and in view. Rows of an
// earlier build, or of a text since replaced, would land on a line they do
// not speak of: the user is told instead.
void FrmMain::GoToResultLine(std::size_t line, unsigned build, unsigned generation) {
    if (IsIconic(Hwnd()))
        ShowWindow(Hwnd(), SW_RESTORE);
    SetForegroundWindow(Hwnd());
    SetActiveWindow(Hwnd());
    if (build != session_.LatestBuild() || generation != document_.Generation()) {
        program_.platform.messages.Show(
            L"These results belong to an earlier build or to another text. Build again to go to the lines "
            L"of this one.",
            kMbOk | kMbIconInformation);
        return;
    }
    const TextSpan span = AssemblerLineSpan(document_.Text(), line);
    document_.Select(span.end, span.start);
    SetFocus(txtCode.Hwnd());
}

LRESULT FrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (lParam == 0)
                OnCommand(CommandOfId(LOWORD(wParam)));
            else if (HIWORD(wParam) == kFindWrapChanged && reinterpret_cast<HWND>(lParam) == txtCode.Hwnd())
                program_.user.SetSwitch(UserSwitch::FindWrapAround, txtCode.Settings().findWrapAround);
            return 0;
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wParam) == txtCode.Hwnd())
                ShowContextMenu(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            return 0;
        case WM_SETTEXT: {
            // The caption is the document's path, whoever sets it.
            const LRESULT result = WindowBase::HandleMessage(message, wParam, lParam);
            document_.FollowCaption(lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"");
            return result;
        }
        case WM_SIZE:
            Form_Resize();
            return 0;
        case WM_DPICHANGED: {
            // Moved to a monitor of another scale: the size Windows proposes,
            // and the editor's font (and with it the editor's rows and
            // gutter) made for the new DPI.
            const RECT& proposed = *reinterpret_cast<const RECT*>(lParam);
            SetEditorFont(HIWORD(wParam));
            SetWindowPos(Hwnd(), nullptr, proposed.left, proposed.top, proposed.right - proposed.left,
                         proposed.bottom - proposed.top, SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_BUILD_ENDED:
            OnBuildEnded();
            return 0;
        case WM_SETFOCUS:
            if (txtCode.Hwnd())
                SetFocus(txtCode.Hwnd());
            return 0;
        case WM_CLOSE:
            Form_Unload();
            return 0;
        case WM_QUERYENDSESSION:
            // Windows is ending the session: ask about unsaved changes now,
            // once; the session may end without a WM_CLOSE.
            ExitCheckOnce();
            return TRUE;
        case WM_ENDSESSION:
            if (!wParam)
                exitChecked_ = false;  // another program cancelled the end
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return WindowBase::HandleMessage(message, wParam, lParam);
    }
}
