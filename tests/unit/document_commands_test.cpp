// The File and Edit menus against in-memory platform services: what each
// command asks, writes and shows, and the document's flags and caption after.
#include <gtest/gtest.h>

#include "editor/document_commands.h"
#include "editor/edit_commands.h"
#include "fakes.h"

namespace {

const wchar_t kDoc[] = L"C:\\p.asm";
const wchar_t kOther[] = L"C:\\o.asm";
const wchar_t kFailed[] = L" \"The file could not be saved:\r\nC:\\p.asm\r\n\r\nError ";

class DocumentCommandsTest : public ::testing::Test {
  protected:
    DocumentCommandsTest() {
        view.caption = kDoc;
        view.onChange = [this] { doc.DocChanged = 1; };  // the editor's change notification
    }
    // The user types at the end; named 1 or 0 binds or unbinds the document to its caption.
    void Type(const std::wstring& text, int named = -1) {
        doc.DocHasName = static_cast<std::int16_t>(named < 0 ? doc.DocHasName : named);
        view.SetSelection(view.text.size(), 0);
        view.ReplaceSelection(text);
    }
    // DocChanged and DocHasName, the caption, [the text], then what happened
    // since the last look: dialogs "save?" or "open?" with their preset name,
    // files written, and messages (the questions and the read-only refusal by name).
    std::wstring Outcome() {
        std::wstring s = std::to_wstring(doc.DocChanged) + std::to_wstring(doc.DocHasName) + L" " +
                         view.caption + L" [" + view.text + L"]";
        for (const auto& d : p.dialogs.shown)
            s += (d.save ? L" save? " : L" open? ") + d.request.fileName;
        for (const std::wstring& w : p.files.log)
            s += L" " + w;
        for (const std::wstring& m : p.messages.Texts())
            s += m == kNewQuestion    ? L" new?"
                 : m == kExitQuestion ? L" exit?"
                 : m == kReadOnlyText ? L" read-only!"
                                      : L" \"" + m + L"\"";
        p.dialogs.shown.clear(), p.files.log.clear(), p.messages.shown.clear();
        return s;
    }

    FakeProgram p;
    FakeMainView view;
    DocumentState doc;
    CommonDialog dialog{p.dialogs};
    DocumentCommands commands{p.platform, doc, view, dialog};
};

// Save writes the DOS code page under the document's name, or asks for one
// (preset with the caption's path) and binds the document to it. A cancel,
// and a read-only target the dialog's check refuses, write nothing but settle
// the document under its caption. Under its own name the check is skipped.
TEST_F(DocumentCommandsTest, SaveWritesUnderTheNameOrAsksForOne) {
    Type(L"\u041F\u0440", 1);  // Пр
    commands.mnuSave_Click();
    EXPECT_EQ(Outcome(), L"01 C:\\p.asm [\u041F\u0440] write C:\\p.asm");
    EXPECT_EQ(p.files.Bytes(kDoc), "\x8F\xE0\r\n");  // the conversion goes to the file only
    EXPECT_FALSE(view.undoText) << "a save ends the undo memory";

    p.files.Put(kOther, "keep\r\n", 0x21);  // read-only among other attributes
    p.dialogs.answers = {L"", kOther, L"C:\\n.asm"};
    for (const wchar_t* outcome : {L"01 C:\\p.asm [\u041F\u0440!] save? C:\\p.asm",
                                   L"01 C:\\p.asm [\u041F\u0440!!] save? C:\\p.asm read-only!",
                                   L"01 C:\\n.asm [\u041F\u0440!!!] save? C:\\p.asm write C:\\n.asm"}) {
        Type(L"!", 0);
        commands.mnuSave_Click();
        EXPECT_EQ(p.dialogs.shown.at(0).request.filter, L"Asm Projects (*.asm)|*.asm|All Files (*.*)|*.*");
        EXPECT_EQ(p.dialogs.shown[0].request.flags, 6);
        EXPECT_EQ(Outcome(), outcome);
    }
    EXPECT_EQ(p.files.Bytes(kOther), "keep\r\n");

    p.files.Put(L"C:\\n.asm", "keep\r\n", kAttributeReadOnly);
    p.files.fail[L"c:\\n.asm"] = 5;
    Type(L"z");
    commands.mnuSave_Click();
    EXPECT_EQ(Outcome(),
              L"11 C:\\n.asm [\u041F\u0440!!!z] write C:\\n.asm \"The file could not be "
              L"saved:\r\nC:\\n.asm\r\n\r\nError 5.\"");
    EXPECT_EQ(p.messages.shown.size(), 0u);
}

// A failed write through each command that saves: one message naming the
// file and the platform's reason; the text, the undo and the flags as they
// were, Save As keeping the binding it had.
TEST_F(DocumentCommandsTest, ASaveThatCannotBeWrittenReportsOnceAndChangesNothing) {
    const std::tuple<std::function<void()>, bool, std::wstring> cases[] = {
        // asks even when named
        {[this] { commands.mnuSave_Click(); }, false, L""},
        {[this] { commands.mnuSaveAs_Click(); }, true, L""},
        {[this] { commands.mnuNew_Click(); }, true, L" new?"},
        {[this] { commands.ExitCheck(); }, false, L" exit?"},
    };
    p.files.fail[Lower(kDoc)] = 112;
    for (int named : {1, 0}) {
        for (const auto& [command, asks, asked] : cases) {
            Type(L"t", named);
            p.dialogs.Choose(kDoc);
            p.messages.answers = {kIdYes};
            command();
            EXPECT_EQ(p.messages.shown.back().style, 16u);
            EXPECT_TRUE(view.undoText);
            EXPECT_EQ(Outcome(), (named ? L"11 C:\\p.asm [" : L"10 C:\\p.asm [") + view.text + L"]" +
                                     (asks || !named ? L" save? C:\\p.asm" : L"") + L" write C:\\p.asm" +
                                     asked + kFailed + L"112.\"");
        }
    }
}

// Exit and New ask only about a change (Yes/No with the program's title);
// a dialog that cannot be shown ends a command silently.
TEST_F(DocumentCommandsTest, ExitAndNewAskOnlyAboutAChange) {
    commands.ExitCheck();
    commands.mnuNew_Click();
    EXPECT_EQ(Outcome(), L"00 C:\\p.asm []");
    Type(L"named", 1);
    commands.ExitCheck();  // the fake answers No
    EXPECT_EQ(p.messages.shown.at(0).style, 68u);
    EXPECT_EQ(p.messages.shown[0].title, L"");
    EXPECT_EQ(Outcome(), L"11 C:\\p.asm [named] exit?");
    p.messages.answers = {kIdYes};
    commands.ExitCheck();
    EXPECT_EQ(Outcome(), L"01 C:\\p.asm [named] write C:\\p.asm exit?");

    p.dialogs.fail = true;
    Type(L"!", 0);
    commands.mnuSave_Click();
    commands.mnuSaveAs_Click();
    commands.mnuOpen_Click();
    p.messages.answers = {kIdYes, kIdYes};
    commands.mnuNew_Click();
    commands.ExitCheck();
    EXPECT_EQ(Outcome(),
              L"10 C:\\p.asm [named!] save? C:\\p.asm save? C:\\p.asm open? C:\\p.asm save? C:\\p.asm "
              L"save? C:\\p.asm new? exit?");
}

// New answered No clears; Yes saves through the dialog even when named, and a
// cancel or a read-only refusal still clears. It stays changed and unnamed.
TEST_F(DocumentCommandsTest, NewClearsUnlessTheSaveFailed) {
    p.files.Put(L"C:\\r.asm", "ro\r\n", kAttributeReadOnly);
    p.dialogs.answers = {L"", L"C:\\r.asm", kOther};
    for (int answer : {kIdNo, kIdYes, kIdYes, kIdYes}) {
        Type(L"t", 1);
        p.messages.answers = {answer};
        commands.mnuNew_Click();
        EXPECT_EQ(view.text + std::to_wstring(doc.DocChanged) + std::to_wstring(doc.DocHasName), L"10");
        EXPECT_EQ(p.messages.shown.at(0).style, 68u);
    }
    EXPECT_EQ(Outcome(),
              L"10 C:\\o.asm [] save? C:\\p.asm save? C:\\p.asm save? C:\\p.asm write C:\\o.asm new? "
              L"new? new? read-only! new?");
}

// Open reads the chosen file without asking about changes; its dialog starts
// with the name of its previous use. A cancel, or a file that cannot be read,
// leaves everything as it was, so a later Save cannot overwrite it.
TEST_F(DocumentCommandsTest, OpenReadsTheChosenFile) {
    p.files.Put(kOther, "A\rB\nC");
    Type(L"unsaved");
    p.dialogs.answers = {kOther, L"", kOther};
    commands.mnuOpen_Click();
    EXPECT_EQ(p.dialogs.shown.at(0).request.filter, kAsmFilter);
    EXPECT_EQ(p.dialogs.shown[0].request.flags, 4100);
    EXPECT_EQ(Outcome(), L"01 C:\\o.asm [A\r\nB\nC\r\n] open? ");
    EXPECT_FALSE(view.undoText);
    commands.mnuOpen_Click();
    p.files.fail[Lower(kOther)] = 32;
    view.caption = kDoc;
    Type(L"!");
    commands.mnuOpen_Click();
    EXPECT_EQ(Outcome(), L"11 C:\\p.asm [A\r\nB\nC\r\n!] open? C:\\o.asm open? ");
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
