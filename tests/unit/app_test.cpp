// The command table: its keys and ids.
#include <gtest/gtest.h>

#include "app/command_table.h"

namespace {

// A command's key as its menu shows it, from the menu bar or the free keys; none for a command
// without one, a separator, or an id outside the table.
TEST(CommandTable, EachCommandHasItsKeyAndItsId) {
    std::wstring keys;  // then F1 and F12, and the keys either side of them
    for (Command c : {Command::New, Command::About, Command::RunCompiled, Command::CommandLines,
                      Command::Find, Command::FindNext, Command::Debug, Command::LineNumbers, Command::None})
        keys += ShortcutText(ShortcutOf(c)) + L",";
    for (const Shortcut& key : {Shortcut{kShift, 0x70}, {kCtrl, 0x7B}, {0, 0x6F}, {0, 0x7C}})
        keys += ShortcutText(key) + L",";
    EXPECT_EQ(keys, L"Ctrl+N,Ctrl+U,Shift+F5,Ctrl+F9,Ctrl+Shift+F,F3,F5,,,Shift+F1,Ctrl+F12,o,|,");
    std::wstring ids;  // each id names its command; 100 and the ids past the last name none
    for (int id = kFirstCommandId; id <= CommandIdOf(kLastCommand) + 1; ++id)
        ids += CommandOfId(id) == Command::None ? L"-" : CommandIdOf(CommandOfId(id)) == id ? L"+" : L"?";
    EXPECT_EQ(ids, L"-" + std::wstring(static_cast<int>(kLastCommand), L'+') + L"-");
}

}  // namespace
