#include "app/win32/frm_main.h"

#include <vector>

#include "app/win32/frm_about.h"
#include "app/win32/frm_command.h"
#include "app/win32/frm_tool_path.h"
#include "editor/edit_commands.h"
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

FrmMain::CommandState FrmMain::StateOf(Command command) const {
    const EditModel& text = document_.Model();
    const bool selection = text.SelStart() != text.SelEnd();
    switch (command) {
        case Command::Undo:
            return {text.CanUndo()};
        case Command::Cut:
        case Command::Copy:
        case Command::Delete:
            return {selection};
        case Command::Paste:
            return {IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE};
        case Command::SelectAll:
            return {text.Length() > 0};
        case Command::FindNext:
        case Command::FindPrevious:
            return {txtCode.CanFindNext()};
        case Command::RunCompiled:
        case Command::Debug:
            return {session_.RunEnabled()};
        case Command::AsmFiles:
            return {true, fields_.settings.mnuRegChecked};
        case Command::ColourSyntax:
            return {true, txtCode.Settings().colourSyntax};
        case Command::LineNumbers:
            return {true, txtCode.Settings().lineNumbers};
        default:
            return {};
    }
}

// The menu bar keeps its items enabled but for Run; the association's tick
// and Run's state follow the program's own.
void FrmMain::UpdateMenuBar() {
    if (!menuBar_)
        return;
    EnableMenuItem(menuBar_, CommandIdOf(Command::RunCompiled),
                   MF_BYCOMMAND | (StateOf(Command::RunCompiled).enabled ? MF_ENABLED : MF_GRAYED));
    CheckMenuItem(menuBar_, CommandIdOf(Command::AsmFiles),
                  MF_BYCOMMAND | (StateOf(Command::AsmFiles).checked ? MF_CHECKED : MF_UNCHECKED));
}

void FrmMain::ShowContextMenu(int x, int y) {
    HMENU menu = CreatePopupMenu();
    for (const ContextEntry& e : kContextMenu) {
        if (e.command == Command::None) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const CommandState state = StateOf(e.command);
        const std::wstring key = ShortcutText(ShortcutOf(e.command));
        const std::wstring text = key.empty() ? e.caption : e.caption + (L"\t" + key);
        AppendMenuW(menu, MF_STRING | (state.enabled ? 0 : MF_GRAYED) | (state.checked ? MF_CHECKED : 0),
                    CommandIdOf(e.command), text.c_str());
    }
    const int chosen = static_cast<int>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0, Hwnd(), nullptr));
    DestroyMenu(menu);
    OnCommand(CommandOfId(chosen));
}

// A switch that cannot be kept (a registry that refuses the write) still
// applies until the program ends.
void FrmMain::ToggleViewSetting(bool ViewSettings::*which, UserSwitch kept) {
    ViewSettings settings = txtCode.Settings();
    settings.*which = !(settings.*which);
    txtCode.SetViewSettings(settings);
    program_.user.SetSwitch(kept, settings.*which);
}

void FrmMain::OnCommand(Command command) {
    Platform& p = program_.platform;
    switch (command) {
        case Command::New:
            documents_.mnuNew_Click();
            break;
        case Command::Open:
            documents_.mnuOpen_Click();
            break;
        case Command::Save:
            documents_.mnuSave_Click();
            break;
        case Command::SaveAs:
            documents_.mnuSaveAs_Click();
            break;
        case Command::Exit:
            Form_Unload();
            return;
        case Command::Cut:
            SkipOnFailure([&] { mnuCut_Click(document_, p.clipboard); });
            break;
        case Command::Copy:
            SkipOnFailure([&] { mnuCopy_Click(document_, p.clipboard); });
            break;
        case Command::Paste:
            SkipOnFailure([&] { mnuPaste_Click(document_, p.clipboard); });
            break;
        case Command::Undo:
            mnuUndo_Click(document_);
            break;
        case Command::Delete:
            mnuDel_Click(document_);
            break;
        case Command::SelectAll:
            mnuAll_Click(document_);
            break;
        case Command::Make16Exe:
            session_.Build(BuildKind::Exe16, program_.settings, document_, CDialog);
            break;
        case Command::Make32Exe:
            session_.Build(BuildKind::Exe32, program_.settings, document_, CDialog);
            break;
        case Command::Make16Com:
            session_.Build(BuildKind::Com16, program_.settings, document_, CDialog);
            break;
        case Command::Make32Com:
            session_.Build(BuildKind::Com32, program_.settings, document_, CDialog);
            break;
        case Command::RunCompiled:
            if (session_.RunEnabled())
                session_.Run();
            break;
        case Command::CommandLines:
            ShowBuildOptionsDialog(program_, Hwnd());
            break;
        case Command::AsmFiles:
            try {
                ToggleAsmFiles(p, program_.regShell, fields_.settings.mnuRegChecked);
            } catch (const PlatformError& error) {
                ShowFailure(L"The .asm file association could not be changed.", error);
            }
            break;
        case Command::Tasm:
            ShowToolPathDialog(ToolKind::Tasm, program_, Hwnd());
            break;
        case Command::Tlink:
            ShowToolPathDialog(ToolKind::Tlink, program_, Hwnd());
            break;
        case Command::About:
            ShowAboutBox(Hwnd());
            break;
        case Command::Find:
            txtCode.OpenFindDialog();
            break;
        case Command::FindNext:
        case Command::FindPrevious:
            txtCode.FindNext(command == Command::FindNext);
            break;
        case Command::GoToLine:
            txtCode.GoToLine();
            break;
        case Command::ColourSyntax:
            ToggleViewSetting(&ViewSettings::colourSyntax, UserSwitch::ColourSyntax);
            break;
        case Command::LineNumbers:
            ToggleViewSetting(&ViewSettings::lineNumbers, UserSwitch::LineNumbers);
            break;
        case Command::Debug:
            session_.Debug(program_.settings);
            break;
        case Command::ChooseDebugger:
            session_.ChooseDebugger(program_.settings);
            break;
        case Command::ChooseDosBox:
            session_.ChooseDosBox();
            break;
        case Command::None:
            break;
    }
    UpdateMenuBar();
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
