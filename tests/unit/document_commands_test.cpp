// The File and Edit menus: what each command asks, writes and shows, and what it leaves.
#include <gtest/gtest.h>

#include "editor/document_commands.h"
#include "editor/edit_commands.h"
#include "fakes.h"

namespace {

// The file o holds a text, r is read-only, f can be neither read nor written.
struct Scene {
    FakeProgram p;
    Document doc;
    CommonDialog dialog{p.dialogs};
    DocumentCommands commands{p.platform, doc, dialog};

    Scene(Text path, int named, Text typed) {
        p.files.Put(L"o", "A\rB\nC");
        p.files.Put(L"r", "ro\r\n", 0x21);  // read-only among other attributes
        p.files.Put(L"f", "f\r\n");
        p.files.fail[L"f"] = 112;
        doc.SetPath(path);
        doc.ReplaceSelection(typed);
        doc.DocHasName = static_cast<std::int16_t>(named);
    }
    // DocChanged, DocHasName, path, [text], dialogs with their preset, writes, messages.
    std::wstring Outcome() {
        std::wstring s = std::to_wstring(doc.DocChanged) + std::to_wstring(doc.DocHasName) + L" " +
                         doc.Path() + L" [" + doc.Text() + L"]";
        for (const auto& d : p.dialogs.shown)
            s += (d.save ? L" save? " : L" open? ") + d.request.fileName;
        for (const std::wstring& w : p.files.log)
            s += L" " + w;
        for (const auto& m : p.messages.shown) {
            s += m.text == kNewQuestion                                             ? L" new?"
                 : m.text == kExitQuestion                                          ? L" exit?"
                 : m.text == kReadOnlyText                                          ? L" read-only!"
                 : m.text == L"The file could not be saved:\r\nf\r\n\r\nError 112." ? L" failed!"
                                                                                    : L" \"" + m.text + L"\"";
            if (m.style != (s.back() == L'?' ? 68u : 16u))  // questions Yes/No, the rest OK with a stop sign
                s += L" (style " + std::to_wstring(m.style) + L")";
        }
        return s;
    }
};

// A cancel or a read-only refusal settles a save under the caption; Save As keeps
// the old binding when nothing was saved; New clears unless the save failed, and
// leaves the document changed and unnamed; a failed read or dialog (!) changes nothing.
TEST(DocumentCommands, WhatEachCommandAsksWritesAndLeaves) {
    const std::tuple<char, const wchar_t*, int, const wchar_t*, const wchar_t*, const wchar_t*> cases[] = {
        // command, path, named, dialog choice, answer, outcome
        {'S', L"p", 1, L"", L"", L"01 p [t] write p"},
        {'S', L"f", 1, L"", L"", L"11 f [t] write f failed!"},
        {'S', L"p", 0, L"o", L"", L"01 o [t] save? p write o"},
        {'S', L"p", 0, L"", L"", L"01 p [t] save? p"},
        {'S', L"p", 0, L"r", L"", L"01 p [t] save? p read-only!"},
        {'S', L"p", 0, L"f", L"", L"10 p [t] save? p write f failed!"},
        {'S', L"p", 0, L"!", L"", L"10 p [t] save? p"},
        {'A', L"p", 1, L"o", L"", L"01 o [t] save? p write o"},
        {'A', L"p", 1, L"", L"", L"01 p [t] save? p"},
        {'A', L"p", 1, L"f", L"", L"11 p [t] save? p write f failed!"},
        {'N', L"p", 1, L"", L"-", L"01 p [t]"},  // unchanged
        {'N', L"p", 1, L"", L"N", L"10 p [] new?"},
        {'N', L"p", 1, L"o", L"Y", L"10 o [] save? p write o new?"},
        {'N', L"p", 1, L"", L"Y", L"10 p [] save? p new?"},
        {'N', L"p", 1, L"r", L"Y", L"10 p [] save? p new? read-only!"},
        {'N', L"p", 1, L"f", L"Y", L"11 p [t] save? p write f new? failed!"},
        {'N', L"p", 1, L"!", L"Y", L"11 p [t] save? p new?"},
        {'X', L"p", 1, L"", L"-", L"01 p [t]"},  // unchanged
        {'X', L"p", 1, L"", L"N", L"11 p [t] exit?"},
        {'X', L"p", 1, L"", L"Y", L"01 p [t] write p exit?"},
        {'X', L"p", 0, L"o", L"Y", L"01 o [t] save? p write o exit?"},
        {'O', L"p", 1, L"o", L"", L"01 o [A\r\nB\nC\r\n] open? "},
        {'O', L"p", 1, L"", L"", L"11 p [t] open? "},
        {'O', L"p", 1, L"f", L"", L"11 p [t] open? "},
        {'O', L"p", 1, L"!", L"", L"11 p [t] open? "},
    };
    for (const auto& [command, path, named, choice, answer, outcome] : cases) {
        Scene s(path, named, L"t");
        if (*answer == L'-')
            s.doc.DocChanged = 0;
        s.p.dialogs.fail = *choice == L'!';
        s.p.dialogs.Choose(choice);
        s.p.messages.answers = {*answer == L'Y' ? kIdYes : kIdNo};
        DocumentCommands& c = s.commands;
        command == 'S'   ? c.mnuSave_Click()
        : command == 'A' ? c.mnuSaveAs_Click()
        : command == 'N' ? c.mnuNew_Click()
        : command == 'X' ? c.ExitCheck()
                         : c.mnuOpen_Click();
        EXPECT_EQ(s.Outcome(), outcome) << command;
        // A save ends the editor's undo memory; anything else that leaves the text keeps it.
        const bool saved =
            !s.p.files.log.empty() && std::wstring(outcome).find(L"failed!") == std::wstring::npos;
        EXPECT_EQ(s.doc.Model().CanUndo(), s.doc.Text() == L"t" && !saved) << outcome;
    }
}

// A busy clipboard fails Cut and Paste before the editor changes; Select All never needs it.
TEST(EditCommands, ABusyClipboardLeavesTheEditorAsItWas) {
    Document doc;
    FakeClipboard clipboard;
    doc.Load(L"mov ax, bx");
    doc.Select(4, 6);
    clipboard.busy = true;
    EXPECT_FALSE(SkipOnFailure([&] { mnuCut_Click(doc, clipboard); }));
    EXPECT_FALSE(SkipOnFailure([&] { mnuPaste_Click(doc, clipboard); }));
    EXPECT_EQ(doc.Model().SelectedText() + std::to_wstring(doc.DocChanged), L"ax0");
    mnuAll_Click(doc);
    EXPECT_EQ(doc.Model().SelectedText(), L"mov ax, bx");
}

}  // namespace
