// The main window's commands: each carried out in one place, and when each
// can be, for the menu bar and the editor's context menu.
#include "app/win32/frm_about.h"
#include "app/win32/frm_command.h"
#include "app/win32/frm_main.h"
#include "app/win32/frm_tool_path.h"
#include "editor/edit_commands.h"
#include "shell/file_association.h"

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
