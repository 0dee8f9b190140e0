// The File and Edit menus against in-memory platform services: what each
// command asks, writes and shows, and the document's flags and caption after.
#include <gtest/gtest.h>

#include "editor/document_commands.h"
#include "editor/edit_commands.h"
#include "fakes.h"

namespace {

// C:\o.asm holds a file, C:\r.asm is read-only, C:\f.asm can be neither read
// nor written (error 112).
struct Scene {
    FakeProgram p;
    FakeMainView view;
    DocumentState doc;
    CommonDialog dialog{p.dialogs};
    DocumentCommands commands{p.platform, doc, view, dialog};

    Scene(Text caption, int named, Text typed) {
        p.files.Put(L"C:\\o.asm", "A\rB\nC");
        p.files.Put(L"C:\\r.asm", "ro\r\n", 0x21);  // read-only among other attributes
        p.files.Put(L"C:\\f.asm", "f\r\n");
        p.files.fail[L"c:\\f.asm"] = 112;
        view.caption = caption;
        view.onChange = [this] { doc.DocChanged = 1; };  // the editor's change notification
        view.ReplaceSelection(typed);
        doc.DocHasName = static_cast<std::int16_t>(named);
    }
    // DocChanged and DocHasName, the caption, [the text], the dialogs shown
    // ("save?" or "open?" with their preset name), the files written, and the
    // messages: the questions, the read-only refusal and a failed save by name.
    std::wstring Outcome() {
        std::wstring s = std::to_wstring(doc.DocChanged) + std::to_wstring(doc.DocHasName) + L" " +
                         view.caption + L" [" + view.text + L"]";
        for (const auto& d : p.dialogs.shown)
            s += (d.save ? L" save? " : L" open? ") + d.request.fileName;
        for (const std::wstring& w : p.files.log)
            s += L" " + w;
        for (const auto& m : p.messages.shown) {
            const bool question = m.text == kNewQuestion || m.text == kExitQuestion;
            s += m.text == kNewQuestion    ? L" new?"
                 : m.text == kExitQuestion ? L" exit?"
                 : m.text == kReadOnlyText ? L" read-only!"
                 : m.text == L"The file could not be saved:\r\nC:\\f.asm\r\n\r\nError 112."
                     ? L" failed!"
                     : L" \"" + m.text + L"\"";
            if (m.style != (question ? 68u : 16u))  // Yes/No, or OK with the stop sign
                s += L" (style " + std::to_wstring(m.style) + L")";
        }
        return s;
    }
};

// Save writes under the document's name, or asks (preset with the caption)
// and binds the document to the file chosen; a cancel and a read-only
// refusal settle it under its caption. Save As always asks, and keeps the
// old binding when nothing was saved. New and Exit ask only about a change;
// New clears unless the save failed, and even answered No it leaves the
// document changed and unnamed. Open reads without asking; a cancel or an
// unreadable file changes nothing. A dialog that cannot be shown (!) ends
// the command silently.
TEST(DocumentCommands, WhatEachCommandAsksWritesAndLeaves) {
    const std::tuple<char, const wchar_t*, int, const wchar_t*, const wchar_t*, const wchar_t*> cases[] = {
        // command, caption, named, dialog choice, answer, outcome
        {'S', L"C:\\p.asm", 1, L"", L"", L"01 C:\\p.asm [t] write C:\\p.asm"},
        {'S', L"C:\\f.asm", 1, L"", L"", L"11 C:\\f.asm [t] write C:\\f.asm failed!"},
        {'S', L"C:\\p.asm", 0, L"C:\\o.asm", L"", L"01 C:\\o.asm [t] save? C:\\p.asm write C:\\o.asm"},
        {'S', L"C:\\p.asm", 0, L"", L"", L"01 C:\\p.asm [t] save? C:\\p.asm"},
        {'S', L"C:\\p.asm", 0, L"C:\\r.asm", L"", L"01 C:\\p.asm [t] save? C:\\p.asm read-only!"},
        {'S', L"C:\\p.asm", 0, L"C:\\f.asm", L"",
         L"10 C:\\p.asm [t] save? C:\\p.asm write C:\\f.asm failed!"},
        {'S', L"C:\\p.asm", 0, L"!", L"", L"10 C:\\p.asm [t] save? C:\\p.asm"},
        {'A', L"C:\\p.asm", 1, L"C:\\o.asm", L"", L"01 C:\\o.asm [t] save? C:\\p.asm write C:\\o.asm"},
        {'A', L"C:\\p.asm", 1, L"", L"", L"01 C:\\p.asm [t] save? C:\\p.asm"},
        {'A', L"C:\\p.asm", 1, L"C:\\f.asm", L"",
         L"11 C:\\p.asm [t] save? C:\\p.asm write C:\\f.asm failed!"},
        {'A', L"C:\\p.asm", 1, L"!", L"", L"11 C:\\p.asm [t] save? C:\\p.asm"},
        {'N', L"C:\\p.asm", 1, L"", L"-", L"01 C:\\p.asm [t]"},  // unchanged
        {'N', L"C:\\p.asm", 1, L"", L"N", L"10 C:\\p.asm [] new?"},
        {'N', L"C:\\p.asm", 1, L"C:\\o.asm", L"Y", L"10 C:\\o.asm [] save? C:\\p.asm write C:\\o.asm new?"},
        {'N', L"C:\\p.asm", 1, L"", L"Y", L"10 C:\\p.asm [] save? C:\\p.asm new?"},
        {'N', L"C:\\p.asm", 1, L"C:\\r.asm", L"Y", L"10 C:\\p.asm [] save? C:\\p.asm new? read-only!"},
        {'N', L"C:\\p.asm", 1, L"C:\\f.asm", L"Y",
         L"11 C:\\p.asm [t] save? C:\\p.asm write C:\\f.asm new? failed!"},
        {'N', L"C:\\p.asm", 1, L"!", L"Y", L"11 C:\\p.asm [t] save? C:\\p.asm new?"},
        {'X', L"C:\\p.asm", 1, L"", L"-", L"01 C:\\p.asm [t]"},  // unchanged
        {'X', L"C:\\p.asm", 1, L"", L"N", L"11 C:\\p.asm [t] exit?"},
        {'X', L"C:\\p.asm", 1, L"", L"Y", L"01 C:\\p.asm [t] write C:\\p.asm exit?"},
        {'X', L"C:\\f.asm", 1, L"", L"Y", L"11 C:\\f.asm [t] write C:\\f.asm exit? failed!"},
        {'X', L"C:\\p.asm", 0, L"C:\\o.asm", L"Y", L"01 C:\\o.asm [t] save? C:\\p.asm write C:\\o.asm exit?"},
        {'X', L"C:\\p.asm", 0, L"!", L"Y", L"10 C:\\p.asm [t] save? C:\\p.asm exit?"},
        {'O', L"C:\\p.asm", 1, L"C:\\o.asm", L"", L"01 C:\\o.asm [A\r\nB\nC\r\n] open? "},
        {'O', L"C:\\p.asm", 1, L"", L"", L"11 C:\\p.asm [t] open? "},
        {'O', L"C:\\p.asm", 1, L"C:\\f.asm", L"", L"11 C:\\p.asm [t] open? "},
        {'O', L"C:\\p.asm", 1, L"!", L"", L"11 C:\\p.asm [t] open? "},
    };
    for (const auto& [command, caption, named, choice, answer, outcome] : cases) {
        Scene s(caption, named, L"t");
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
        EXPECT_EQ(s.view.undoText.has_value(), s.view.text == L"t" && !saved) << outcome;
    }
}

// Cut puts the selection on the clipboard first, so a clipboard held by
// another program fails the command as a whole and leaves the editor as it
// was; Select All never touches it.
TEST(EditCommands, ABusyClipboardLeavesTheEditorAsItWas) {
    FakeMainView view;
    FakeClipboard clipboard;
    view.text = L"mov ax, bx";
    view.SetSelection(4, 2);
    clipboard.busy = true;
    EXPECT_FALSE(SkipOnFailure([&] { mnuCut_Click(view, clipboard); }));
    EXPECT_FALSE(SkipOnFailure([&] { mnuPaste_Click(view, clipboard); }));
    EXPECT_EQ(view.SelectedText(), L"ax");
    mnuAll_Click(view);
    EXPECT_EQ(view.SelectedText(), L"mov ax, bx");
}

}  // namespace
