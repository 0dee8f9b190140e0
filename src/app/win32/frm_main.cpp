#include "app/win32/frm_main.h"

#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "app/menu_table.h"
#include "app/win32/frm_about.h"
#include "app/win32/frm_command.h"
#include "app/win32/frm_tool_path.h"
#include "compile/build_pipeline.h"
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

int MenuIdOf(const wchar_t* name) {
    for (const MenuEntry& e : kMenuEntries) {
        if (std::wstring(e.name) == name)
            return CommandIdOf(e.command);
    }
    return 0;
}

}  // namespace

struct FrmMain::BuildEnd {
    std::mutex lock;
    unsigned latest = 0;  // the number of the latest build command
    std::optional<BuildResults> results;
};

FrmMain::FrmMain(ProgramContext& program)
    : program_(program),
      CDialog(program.platform.fileDialogs),
      documents_(program.platform, fields_.doc, *this, CDialog),
      dosRoute_(program.platform,
                program.user,
                dosHost_,
                [this] { PostMessageW(Hwnd(), WM_BUILD_ENDED, 0, 0); }),
      buildEnd_(std::make_shared<BuildEnd>()),
      frmBuildResults(program.user, [this](std::size_t line) { GoToAssemblerLine(line); }) {}

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
    editorFont_.Reset(MakeFont(L"Fixedsys", 9.75, Dpi(), false, true));
    SetControlFont(txtCode.Hwnd(), editorFont_.Get());
    UserSettings& user = program_.user;
    txtCode.UseSettings({user.Switch(UserSwitch::ColourSyntax), user.Switch(UserSwitch::LineNumbers),
                         user.Switch(UserSwitch::FindWrapAround)},
                        [&user](const ViewSettings& settings) {
                            user.SetSwitch(UserSwitch::ColourSyntax, settings.colourSyntax);
                            user.SetSwitch(UserSwitch::LineNumbers, settings.lineNumbers);
                            user.SetSwitch(UserSwitch::FindWrapAround, settings.findWrapAround);
                        });
    if (auto* clipboard = dynamic_cast<Win32Clipboard*>(&program_.platform.clipboard))
        clipboard->SetOwner(Hwnd());
    Form_Load();
    ShowWindow(Hwnd(), SW_SHOWNORMAL);
    Form_Resize();
    SetFocus(txtCode.Hwnd());
}

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
        const int id = CommandIdOf(e.command);
        const std::wstring text = std::wstring(e.caption) + L"\t" + ShortcutText(e);
        AppendMenuW(popups[e.menu], MF_STRING | (e.enabledAtStart ? 0 : MF_GRAYED), id, text.c_str());
        BYTE flags = FVIRTKEY;
        if (e.modifiers & kCtrl)
            flags |= FCONTROL;
        if (e.modifiers & kShift)
            flags |= FSHIFT;
        accels.push_back(ACCEL{flags, e.key, static_cast<WORD>(id)});
    }
    SetMenu(Hwnd(), menuBar_);
    accelerators_ = CreateAcceleratorTableW(accels.data(), static_cast<int>(accels.size()));
}

void FrmMain::Form_Load() {
    SkipOnFailure([&] { MoveTo(kLoadLeft, kLoadTop); });
    RunMainLoadStep(program_, fields_, *this,
                    [this] { RegisterAsmFiles(program_.platform, program_.regShell, *this); });
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

void FrmMain::Form_Unload() {
    if (!exitChecked_) {
        exitChecked_ = true;
        documents_.ExitCheck();
    }
    DestroyWindow(Hwnd());
}

void FrmMain::txtCode_Change() {
    fields_.doc.DocChanged = 1;
}

void FrmMain::mnuExit_Click() {
    Form_Unload();
}

void FrmMain::mnuReg_Click() {
    try {
        ToggleAsmFiles(program_.platform, program_.regShell, *this);
    } catch (const PlatformError& error) {
        ShowFailure(L"The .asm file association could not be changed.", error);
    }
}

void FrmMain::ShowFailure(const std::wstring& what, const PlatformError& error) {
    program_.platform.messages.Show(what + L"\r\n\r\n" + program_.platform.system.ErrorText(error.Code()),
                                    kMbOk | kMbIconStop);
}

// The build as it always was; its script is watched off this thread, which
// reads the listing and looks for the output, then posts WM_BUILD_ENDED.
void FrmMain::Build(BuildKind kind) {
    unsigned number = 0;
    {
        std::lock_guard<std::mutex> guard(buildEnd_->lock);
        number = ++buildEnd_->latest;
        buildEnd_->results.reset();
    }
    // The watcher holds what it uses, so a script that outlives the window harms nothing.
    auto ended = [end = buildEnd_, window = Hwnd(), number](const ScriptOutputs& outputs,
                                                            std::uint64_t startedAt) {
        Win32FileSystem files;
        BuildResults results = CollectBuildResults(outputs, startedAt, files);
        {
            std::lock_guard<std::mutex> guard(end->lock);
            if (end->latest != number)
                return;
            end->results = std::move(results);
        }
        PostMessageW(window, WM_BUILD_ENDED, 0, 0);
    };
    RunBuild(kind, program_.platform, program_.settings, fields_.doc, fields_.build, *this, CDialog,
             &dosRoute_, ended);
}

// A build with something to say opens the results; a clean one leaves the
// user alone, and updates the window only if it is open.
void FrmMain::OnBuildEnded() {
    dosRoute_.ScriptEnded(fields_.build, *this);  // the DOSBox route's output test
    std::optional<BuildResults> results;
    {
        std::lock_guard<std::mutex> guard(buildEnd_->lock);
        results.swap(buildEnd_->results);
    }
    if (!results)
        return;
    if (results->worthShowing)
        frmBuildResults.Show(Hwnd(), *results);
    else
        frmBuildResults.Update(*results);
}

// Caret at the start of the line, the line selected and in view.
void FrmMain::GoToAssemblerLine(std::size_t line) {
    if (IsIconic(Hwnd()))
        ShowWindow(Hwnd(), SW_RESTORE);
    SetForegroundWindow(Hwnd());
    SetActiveWindow(Hwnd());
    const TextSpan span = AssemblerLineSpan(txtCode.Text(), line);
    txtCode.SetSelection(span.end, span.start);
    txtCode.ScrollCaret();
    SetFocus(txtCode.Hwnd());
}

void FrmMain::OnCommand(int id) {
    Platform& p = program_.platform;
    switch (CommandOfId(id)) {
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
            mnuExit_Click();
            break;
        case Command::Cut:
            SkipOnFailure([&] { mnuCut_Click(*this, p.clipboard); });
            break;
        case Command::Copy:
            SkipOnFailure([&] { mnuCopy_Click(*this, p.clipboard); });
            break;
        case Command::Paste:
            SkipOnFailure([&] { mnuPaste_Click(*this, p.clipboard); });
            break;
        case Command::Undo:
            mnuUndo_Click(*this);
            break;
        case Command::Delete:
            mnuDel_Click(*this);
            break;
        case Command::SelectAll:
            mnuAll_Click(*this);
            break;
        case Command::Make16Exe:
            Build(BuildKind::Exe16);
            break;
        case Command::Make32Exe:
            Build(BuildKind::Exe32);
            break;
        case Command::Make16Com:
            Build(BuildKind::Com16);
            break;
        case Command::Make32Com:
            Build(BuildKind::Com32);
            break;
        case Command::RunCompiled:
            if (RunEnabled() && !dosRoute_.RunProgram(fields_.build.outBase +
                                                      (fields_.build.lastBuildCom == 0 ? L".exe" : L".com")))
                RunCompiledProgram(fields_.build, p.processes);
            break;
        case Command::CommandLines:
            ShowBuildOptionsDialog(program_, Hwnd());
            break;
        case Command::AsmFiles:
            mnuReg_Click();
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
        case Command::None:
            break;
    }
}

LRESULT FrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kTxtCodeId) {
                if (HIWORD(wParam) == EN_CHANGE)
                    txtCode_Change();
                return 0;
            }
            if (lParam == 0)
                OnCommand(LOWORD(wParam));
            return 0;
        case WM_SIZE:
            Form_Resize();
            return 0;
        case WM_DPICHANGED: {
            // Moved to a monitor of another scale: the size Windows proposes,
            // and the editor's font (and with it the editor's rows and
            // gutter) made for the new DPI.
            const RECT& proposed = *reinterpret_cast<const RECT*>(lParam);
            editorFont_.Reset(MakeFont(L"Fixedsys", 9.75, HIWORD(wParam), false, true));
            SetControlFont(txtCode.Hwnd(), editorFont_.Get());
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
            if (!exitChecked_) {
                exitChecked_ = true;
                documents_.ExitCheck();
            }
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

std::wstring FrmMain::Caption() const {
    const int n = GetWindowTextLengthW(Hwnd());
    std::wstring text(n + 1, L'\0');
    text.resize(GetWindowTextW(Hwnd(), text.data(), n + 1));
    return text;
}

void FrmMain::SetCaption(const std::wstring& caption) {
    SetWindowTextW(Hwnd(), caption.c_str());
}

// The editor's text and selection straight from the view: a NUL in the text
// would end the string that WM_GETTEXT gives.
std::wstring FrmMain::EditorText() const {
    return txtCode.Text();
}

void FrmMain::SetEditorText(const std::wstring& text) {
    txtCode.SetText(text);
}

void FrmMain::TakeEditorText(std::wstring&& text) {
    txtCode.SetText(std::move(text));
}

std::size_t FrmMain::EditorTextLength() const {
    return txtCode.TextLength();
}

std::wstring FrmMain::SelectedText() const {
    return txtCode.SelectedText();
}

void FrmMain::ReplaceSelection(const std::wstring& text) {
    txtCode.ReplaceSelection(text);
}

void FrmMain::SetSelection(std::size_t start, std::size_t length) {
    txtCode.SetSelection(start, start + length);
    txtCode.ScrollCaret();
}

void FrmMain::Undo() {
    txtCode.Undo();
}

void FrmMain::EmptyUndo() {
    txtCode.EmptyUndo();
}

void FrmMain::SetRunEnabled(bool enabled) {
    EnableMenuItem(menuBar_, MenuIdOf(L"mnuRunC"), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool FrmMain::RunEnabled() const {
    const UINT state = GetMenuState(menuBar_, MenuIdOf(L"mnuRunC"), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

void FrmMain::SetRegChecked(bool checked) {
    CheckMenuItem(menuBar_, MenuIdOf(L"mnuReg"), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool FrmMain::RegChecked() const {
    const UINT state = GetMenuState(menuBar_, MenuIdOf(L"mnuReg"), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED);
}
