#pragma once
// Every command of the program, in one table read by the menu bar, the
// accelerator table, the editor's context menu, the command dispatch and the
// tests. The menu bar is the program's as it always was; the commands the
// editor adds live in its context menu and on keys the menu bar leaves free.
#include <array>
#include <string>

enum class Command {
    None,
    // The menu bar, in its order; the command ids follow this order.
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
    // The editor's own.
    Find,
    FindNext,
    FindPrevious,
    GoToLine,
    ColourSyntax,
    LineNumbers,
    Debug,
    ChooseDebugger,
};
constexpr Command kLastCommand = Command::ChooseDebugger;

enum Modifier : unsigned { kCtrl = 1, kShift = 2 };

// A key with its modifiers; key 0 is none. It fires only with Alt up: AltGr
// arrives as Ctrl+Alt, and with it the user types a character.
struct Shortcut {
    unsigned modifiers;  // kCtrl, kShift
    unsigned short key;  // virtual-key code
};

struct MenuEntry {
    int menu;                // index of the top-level menu
    const wchar_t* name;     // mnuNew ...
    const wchar_t* caption;  // as stored, "&" marking the access key; nullptr for a separator
    Shortcut shortcut;
    Command command;
    bool enabledAtStart;
};

struct TopMenu {
    const wchar_t* name;
    const wchar_t* caption;
};

// A command the menu bar does not have, on a key it leaves free.
struct FreeKey {
    Shortcut shortcut;
    Command command;
};

// The editor's context menu, in order; Command::None is a separator.
struct ContextEntry {
    Command command;
    const wchar_t* caption;
};

constexpr unsigned short kVkF3 = 0x72;
constexpr unsigned short kVkF5 = 0x74;
constexpr unsigned short kVkF9 = 0x78;

extern const std::array<TopMenu, 6> kTopMenus;
extern const std::array<MenuEntry, 24> kMenuEntries;
extern const std::array<FreeKey, 5> kFreeKeys;
extern const std::array<ContextEntry, 18> kContextMenu;

// The command id of a command: its place in the enumeration plus a base, so
// that the ids stay clear of the platform's own (IDOK, IDCANCEL ...).
constexpr int kFirstCommandId = 100;
int CommandIdOf(Command command);
Command CommandOfId(int id);

// The key of a command, from the menu bar or the free keys; key 0 when none.
Shortcut ShortcutOf(Command command);
// "Ctrl+N", "Shift+F5": a shortcut as a menu shows it after the caption.
std::wstring ShortcutText(Shortcut shortcut);
