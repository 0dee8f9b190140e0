#include "app/command_table.h"

const std::array<TopMenu, 6> kTopMenus = {{
    {L"mnnnuFile", L"&File"},
    {L"mnuEdit", L"&Edit"},
    {L"mnuComp", L"Com&pile"},
    {L"mnuRun", L"&Run"},
    {L"mnuoption", L"&Options"},
    {L"mnuHelp", L"Hel&p"},
}};

const std::array<MenuEntry, 24> kMenuEntries = {{
    {0, L"mnuNew", L"&New Project", {kCtrl, 'N'}, Command::New, true},
    {0, L"mnuOpen", L"&Open Project...", {kCtrl, 'O'}, Command::Open, true},
    {0, L"mnuL", nullptr, {0, 0}, Command::None, true},
    {0, L"mnuSave", L"&Save Project", {kCtrl, 'S'}, Command::Save, true},
    {0, L"mnuSaveAs", L"Sav&e Project As...", {kCtrl, 'E'}, Command::SaveAs, true},
    {0, L"mnuL2", nullptr, {0, 0}, Command::None, true},
    {0, L"mnuExit", L"E&xit", {kCtrl, 'Q'}, Command::Exit, true},
    {1, L"mnuCut", L"Cut", {kCtrl, 'X'}, Command::Cut, true},
    {1, L"mnuCopy", L"&Copy", {kCtrl, 'C'}, Command::Copy, true},
    {1, L"mnuPaste", L"&Paste", {kCtrl, 'V'}, Command::Paste, true},
    {1, L"mnuUndo", L"&Undo", {kCtrl, 'Z'}, Command::Undo, true},
    {1, L"mnuDel", L"&Delete", {kCtrl, 'D'}, Command::Delete, true},
    {1, L"mnuAll", L"Select &All      ", {kCtrl, 'A'}, Command::SelectAll, true},
    {2, L"mnuEXE", L"Make 16&b EXE file", {kCtrl, 'B'}, Command::Make16Exe, true},
    {2, L"mnu32EXE", L"Make 32b EXE fi&le", {kCtrl, 'L'}, Command::Make32Exe, true},
    {2, L"mnuLi2", nullptr, {0, 0}, Command::None, true},
    {2, L"mnuCOM16", L"Make 16b CO&M file", {kCtrl, 'M'}, Command::Make16Com, true},
    {2, L"mnuCom32", L"Make 32b COM &file", {kCtrl, 'F'}, Command::Make32Com, true},
    {3, L"mnuRunC", L"Run Compile file", {kShift, kVkF5}, Command::RunCompiled, false},
    {4, L"mnuCommand", L"Command Lines...", {kCtrl, kVkF9}, Command::CommandLines, true},
    {4, L"mnuReg", L"Open &with *.asm", {kCtrl, 'W'}, Command::AsmFiles, true},
    {4, L"mnuTasm", L"&Tasm", {kCtrl, 'T'}, Command::Tasm, true},
    {4, L"mnuTlink", L"Tlin&k", {kCtrl, 'K'}, Command::Tlink, true},
    {5, L"mnuAbout", L"Abo&ut Korveline...", {kCtrl, 'U'}, Command::About, true},
}};

const std::array<FreeKey, 5> kFreeKeys = {{
    {{kCtrl | kShift, 'F'}, Command::Find},
    {{0, kVkF3}, Command::FindNext},
    {{kShift, kVkF3}, Command::FindPrevious},
    {{kCtrl, 'G'}, Command::GoToLine},
    {{0, kVkF5}, Command::Debug},  // beside Run's Shift+F5
}};

const std::array<ContextEntry, 18> kContextMenu = {{
    {Command::Undo, L"&Undo"},
    {Command::None, nullptr},
    {Command::Cut, L"Cu&t"},
    {Command::Copy, L"&Copy"},
    {Command::Paste, L"&Paste"},
    {Command::Delete, L"&Delete"},
    {Command::None, nullptr},
    {Command::SelectAll, L"Select &All"},
    {Command::None, nullptr},
    {Command::Find, L"&Find..."},
    {Command::FindNext, L"Find ne&xt"},
    {Command::GoToLine, L"&Go to line..."},
    {Command::None, nullptr},
    {Command::ColourSyntax, L"Colour &syntax"},
    {Command::LineNumbers, L"Line &numbers"},
    {Command::None, nullptr},
    {Command::Debug, L"De&bug"},
    {Command::ChooseDebugger, L"Debugge&r..."},
}};

int CommandIdOf(Command command) {
    return kFirstCommandId + static_cast<int>(command);
}

Command CommandOfId(int id) {
    const int index = id - kFirstCommandId;
    if (index <= 0 || index > static_cast<int>(kLastCommand))
        return Command::None;
    return static_cast<Command>(index);
}

Shortcut ShortcutOf(Command command) {
    for (const MenuEntry& e : kMenuEntries) {
        if (e.command == command && e.caption)
            return e.shortcut;
    }
    for (const FreeKey& k : kFreeKeys) {
        if (k.command == command)
            return k.shortcut;
    }
    return {0, 0};
}

std::wstring ShortcutText(Shortcut shortcut) {
    if (shortcut.key == 0)
        return {};
    std::wstring text;
    if (shortcut.modifiers & kCtrl)
        text += L"Ctrl+";
    if (shortcut.modifiers & kShift)
        text += L"Shift+";
    if (shortcut.key >= 0x70 && shortcut.key <= 0x7B)
        text += L"F" + std::to_wstring(shortcut.key - 0x70 + 1);
    else
        text += static_cast<wchar_t>(shortcut.key);
    return text;
}
