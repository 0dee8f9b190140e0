#pragma once
// The main window's menu bar, as one table read by the menu builder, the
// accelerator table, the command dispatch and the tests.
#include <array>
#include <string>

enum class Command {
    None,
    New,
    Open,
    Save,
    SaveAs,
    Exit,
    Cut,
    Copy,
    Paste,
    Undo,
    Delete,
    SelectAll,
    Make16Exe,
    Make32Exe,
    Make16Com,
    Make32Com,
    RunCompiled,
    CommandLines,
    AsmFiles,
    Tasm,
    Tlink,
    About,
};

enum Modifier : unsigned { kCtrl = 1, kShift = 2 };

struct MenuEntry {
    int menu;                // index of the top-level menu
    const wchar_t* name;     // mnuNew ...
    const wchar_t* caption;  // as stored, "&" marking the access key; nullptr for a separator
    unsigned modifiers;      // kCtrl, kShift
    unsigned short key;      // virtual-key code; 0 for none
    Command command;
    bool enabledAtStart;
};

struct TopMenu {
    const wchar_t* name;
    const wchar_t* caption;
};

constexpr unsigned short kVkF5 = 0x74;
constexpr unsigned short kVkF9 = 0x78;

extern const std::array<TopMenu, 6> kTopMenus;
extern const std::array<MenuEntry, 24> kMenuEntries;

// The command id of an entry: its place in the table plus a base, so that
// the ids of the menu stay clear of the platform's own (IDOK, IDCANCEL ...).
constexpr int kFirstCommandId = 100;
int CommandIdOf(Command command);
Command CommandOfId(int id);

// "Ctrl+N", "Shift+F5": the shortcut as the menu shows it after the caption.
std::wstring ShortcutText(const MenuEntry& entry);
