// Start-up: the main window's load step; the command table's keys.
#include <gtest/gtest.h>

#include "app/command_table.h"
#include "app/startup.h"
#include "fakes.h"

namespace {

// The command line is one whole path; else the default beside the program (in a
// drive root, in the Windows drive's). A file not read leaves the document unnamed.
TEST(Startup, TheDocumentIsTheCommandLineFileOrTheEmptyDefault) {
    const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\Tools", L"", L"C:\\Tools\\asm1.asm", L""},
        {L"E:\\", L"", L"D:\\asm1.asm", L""},
        {L"C:\\Tools", L"C:\\M W\\\x43f.a", L"C:\\M W\\\x43f.a", L"mov\r\n\x41f\r\n\r\na\nb\r\n"},
        {L"C:\\Tools", L"\"C:\\M W\\\x43f.a\"", L" asm", L""},
        {L"C:\\Tools", L"C:\\w\\locked.asm", L"C:\\w\\locked.asm", L""},
    };
    for (const auto& [folder, commandLine, caption, text] : cases) {
        FakeProgram p;
        Document doc;
        doc.FollowCaption(L" asm");
        MainFields fields;
        int registrations = 0;
        p.files.Put(L"C:\\M W\\\x43f.a", "mov\r\n\xCF\r\ra\nb");
        p.files.Put(L"C:\\w\\locked.asm", "important\r\n");
        p.files.fail[L"c:\\w\\locked.asm"] = 32;
        p.system.folder = folder, p.system.commandLine = commandLine;
        p.settings.tasmPath = p.settings.tlinkPath = L"stale";
        p.registry.refuseWrites = {RegRoot::LocalMachine};
        doc.DocChanged = 1;
        RunMainLoadStep(p.context, fields, doc, [&] { ++registrations; });
        EXPECT_EQ(doc.Path() + L"|" + doc.Text() + p.settings.tasmPath + p.settings.tlinkPath + L"|" +
                      std::to_wstring(doc.DocHasName) + std::to_wstring(doc.DocChanged + registrations),
                  std::wstring(caption) + L"|" + text + (*text ? L"|10" : L"|00"));
        EXPECT_TRUE(p.system.caretBlink == 700 && p.messages.shown.empty());
    }
}

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
