// The File and Edit menus against in-memory platform services: what each
// command asks, writes and shows, and the document's flags and caption after.
#include <gtest/gtest.h>

#include "editor/document_commands.h"
#include "editor/edit_commands.h"
#include "fakes.h"

namespace {

const wchar_t kDoc[] = L"C:\\work\\prog.asm";
const wchar_t kOther[] = L"C:\\work\\other.asm";

class DocumentCommandsTest : public ::testing::Test {
  protected:
    DocumentCommandsTest() {
        view.caption = kDoc;
        view.onChange = [this] { doc.DocChanged = 1; };  // the editor's change notification
    }
    // The user types at the end; named: the document is bound to its caption.
    void Type(const std::wstring& text, int named = -1) {
        doc.DocHasName = static_cast<std::int16_t>(named < 0 ? doc.DocHasName : named);
        view.SetSelection(view.text.size(), 0);
        view.ReplaceSelection(text);
    }
    // DocChanged and DocHasName, the caption, [the text], then the files
    // written and "the messages" shown since the last look.
    std::wstring Outcome() {
        std::wstring s = std::to_wstring(doc.DocChanged) + std::to_wstring(doc.DocHasName) + L" " +
                         view.caption + L" [" + view.text + L"]";
        for (const std::wstring& w : p.files.log)
            s += L" " + w;
        for (const std::wstring& m : p.messages.Texts())
            s += L" \"" + m + L"\"";
        p.files.log.clear();
        p.messages.shown.clear();
        return s;
    }
    const FileDialogRequest& Asked() { return p.dialogs.shown.back().request; }

    FakeProgram p;
    FakeMainView view;
    DocumentState doc;
    CommonDialog dialog{p.dialogs};
    DocumentCommands commands{p.platform, doc, view, dialog};
};

TEST_F(DocumentCommandsTest, SaveWritesTheDosCodePageUnderTheNameOrAsksForOne) {
    Type(L"\u041F\u0440", 1);  // Пр
    commands.mnuSave_Click();
    EXPECT_EQ(Outcome(), L"01 C:\\work\\prog.asm [\u041F\u0440] write C:\\work\\prog.asm");
    EXPECT_EQ(p.files.Bytes(kDoc), "\x8F\xE0\r\n");  // the conversion goes to the file only
    EXPECT_FALSE(view.undoText) << "a save ends the undo memory";

    Type(L"!", 0);
    p.dialogs.Choose(kOther);
    commands.mnuSave_Click();
    EXPECT_EQ(Outcome(), L"01 C:\\work\\other.asm [\u041F\u0440!] write C:\\work\\other.asm");
    EXPECT_TRUE(p.dialogs.shown.at(0).save);
    EXPECT_EQ(Asked().filter, L"Asm Projects (*.asm)|*.asm|All Files (*.*)|*.*");
    EXPECT_EQ(Asked().flags, 6);
    EXPECT_EQ(Asked().fileName, kDoc);  // preset with the caption's path
    commands.mnuSave_Click();           // now bound to the chosen name: no dialog
    EXPECT_EQ(p.dialogs.shown.size(), 1u);
}

// A cancelled dialog, and a read-only target that the dialog's check refuses,
// write nothing but settle the document under its caption as a save would.
TEST_F(DocumentCommandsTest, ACancelOrAReadOnlyTargetSettlesTheDocumentUnderItsCaption) {
    p.files.Put(kOther, "keep\r\n", 0x21);  // read-only among other attributes
    Type(L"y", 0);
    p.dialogs.Choose(L"");
    commands.mnuSave_Click();
    EXPECT_EQ(Outcome(), L"01 C:\\work\\prog.asm [y]");
    EXPECT_TRUE(view.undoText) << "nothing was written, nothing forgotten";
    Type(L"y");
    p.dialogs.Choose(kOther);
    commands.mnuSaveAs_Click();  // asks even when named
    EXPECT_EQ(Outcome(), L"01 C:\\work\\prog.asm [yy] \"Permission denied. Read only file.\"");
    EXPECT_EQ(p.dialogs.shown.size(), 2u);

    // Under its own name the check is skipped: the write itself is refused.
    p.files.Put(kDoc, "keep\r\n", kAttributeReadOnly);
    p.files.fail[Lower(kDoc)] = 5;
    Type(L"z", 1);
    commands.mnuSave_Click();
    EXPECT_EQ(Outcome(),
              L"11 C:\\work\\prog.asm [yyz] write C:\\work\\prog.asm \"The file could not be "
              L"saved:\r\nC:\\work\\prog.asm\r\n\r\nError 5.\"");
}

// A failed write through each command that saves: one message naming the
// file and the platform's reason, and the disk, text and flags as they were.
TEST_F(DocumentCommandsTest, ASaveThatCannotBeWrittenReportsOnceAndChangesNothing) {
    const std::wstring failed = L" \"The file could not be saved:\r\nC:\\work\\prog.asm\r\n\r\nError 112.\"";
    const std::pair<std::function<void()>, std::wstring> cases[] = {
        {[this] { commands.mnuSave_Click(); }, L""},
        {[this] { commands.mnuSaveAs_Click(); }, L""},
        {[this] { commands.mnuNew_Click(); }, L" \"Save change to the following file?\""},
        {[this] { commands.ExitCheck(); }, L" \"Save change to the file before exit?\""},
    };
    p.files.Put(kDoc, "on disk\r\n");
    p.files.fail[Lower(kDoc)] = 112;
    for (int named : {1, 0}) {
        for (const auto& [command, asked] : cases) {
            Type(L"typed", named);
            p.dialogs.Choose(kDoc);
            p.messages.answers = {kIdYes};
            command();
            EXPECT_EQ(p.messages.shown.back().style, 16u);
            EXPECT_TRUE(view.undoText);
            EXPECT_EQ(Outcome(), (named ? L"11" : L"10") + std::wstring(L" C:\\work\\prog.asm [") +
                                     view.text + L"] write C:\\work\\prog.asm" + asked + failed);
        }
    }
    EXPECT_EQ(p.files.Bytes(kDoc), "on disk\r\n");
}

TEST_F(DocumentCommandsTest, ExitAsksOnlyAboutChangesAndADialogThatCannotBeShownEndsACommandSilently) {
    commands.ExitCheck();
    EXPECT_EQ(Outcome(), L"00 C:\\work\\prog.asm []");
    Type(L"named", 1);
    commands.ExitCheck();  // the fake answers No
    EXPECT_EQ(p.messages.shown.at(0).style, 68u);
    EXPECT_EQ(p.messages.shown[0].title, L"");  // the program's title
    EXPECT_EQ(Outcome(), L"11 C:\\work\\prog.asm [named] \"Save change to the file before exit?\"");

    p.dialogs.fail = true;
    Type(L"!", 0);
    commands.mnuSave_Click();
    commands.mnuSaveAs_Click();
    commands.mnuOpen_Click();
    p.messages.answers = {kIdYes, kIdYes};
    commands.mnuNew_Click();
    commands.ExitCheck();
    EXPECT_EQ(Outcome(),
              L"10 C:\\work\\prog.asm [named!] \"Save change to the following file?\" \"Save change "
              L"to the file before exit?\"");
}

TEST_F(DocumentCommandsTest, NewAsksAfterAChangeAndClearsUnlessTheSaveFailed) {
    view.text = L"kept";
    commands.mnuNew_Click();  // unchanged: nothing at all
    EXPECT_EQ(Outcome(), L"00 C:\\work\\prog.asm [kept]");
    Type(L"!", 1);
    commands.mnuNew_Click();  // answered No: the caption stays; it still counts as changed
    EXPECT_EQ(Outcome(), L"10 C:\\work\\prog.asm [] \"Save change to the following file?\"");

    // Yes saves through the dialog even when named; a cancel or a read-only refusal still clears.
    p.files.Put(L"C:\\ro.asm", "ro\r\n", kAttributeReadOnly);
    for (const wchar_t* chosen : {L"", L"C:\\ro.asm", kOther}) {
        Type(L"saved", 1);
        p.messages.answers = {kIdYes};
        p.dialogs.Choose(chosen);
        commands.mnuNew_Click();
        EXPECT_EQ(Asked().fileName, kDoc);
        EXPECT_EQ(view.text + std::to_wstring(doc.DocHasName), L"0");
    }
    EXPECT_EQ(p.files.Bytes(kOther), "saved\r\n");
    EXPECT_EQ(view.caption, kOther);
}

TEST_F(DocumentCommandsTest, OpenReadsTheChosenFileWithoutLookingAtChanges) {
    p.files.Put(kOther, "A\rB\nC");
    Type(L"unsaved");
    p.dialogs.Choose(kOther);
    commands.mnuOpen_Click();
    EXPECT_EQ(Outcome(), L"01 C:\\work\\other.asm [A\r\nB\nC\r\n]");
    EXPECT_FALSE(view.undoText);
    EXPECT_FALSE(p.dialogs.shown[0].save);
    EXPECT_EQ(Asked().filter, kAsmFilter);
    EXPECT_EQ(Asked().flags, 4100);

    // The dialog starts with the name of its previous use; a cancel clears it and changes nothing.
    commands.mnuOpen_Click();
    EXPECT_EQ(Asked().fileName, kOther);
    commands.mnuOpen_Click();
    EXPECT_EQ(Asked().fileName, L"");
    // A file that cannot be read leaves everything as it was, so a later Save cannot overwrite it.
    p.files.fail[Lower(kOther)] = 32;
    view.caption = kDoc;
    Type(L"!");
    p.dialogs.Choose(kOther);
    commands.mnuOpen_Click();
    EXPECT_EQ(Outcome(), L"11 C:\\work\\prog.asm [A\r\nB\nC\r\n!]");
}

// Cut puts the selection on the clipboard first, so a clipboard held by
// another program fails the command as a whole and leaves the editor as it was.
TEST(EditCommands, CopyCutPasteDeleteAndSelectAll) {
    FakeMainView view;
    FakeClipboard clipboard;
    view.text = L"mov ax, bx";
    view.SetSelection(4, 2);
    clipboard.busy = true;
    EXPECT_FALSE(SkipOnFailure([&] { mnuCut_Click(view, clipboard); }));
    EXPECT_FALSE(SkipOnFailure([&] { mnuPaste_Click(view, clipboard); }));
    EXPECT_EQ(view.text, L"mov ax, bx");
    clipboard.busy = false;
    mnuCopy_Click(view, clipboard);
    EXPECT_EQ(clipboard.text, L"ax");
    EXPECT_FALSE(view.undoText) << "a copy changes nothing";
    view.SetSelection(3, 4);
    mnuCut_Click(view, clipboard);
    EXPECT_EQ(clipboard.text, L" ax,");
    EXPECT_EQ(view.text, L"mov bx");
    mnuUndo_Click(view);
    view.SetSelection(0, 4);
    mnuPaste_Click(view, clipboard);
    EXPECT_EQ(view.text, L" ax,ax, bx");
    view.SetSelection(0, 4);
    mnuDel_Click(view);
    mnuAll_Click(view);
    EXPECT_EQ(view.SelectedText(), L"ax, bx");
}

}  // namespace
