// The File menu against in-memory platform services: what each command asks,
// writes and shows, the document's flags and caption afterwards, and every
// way a save can fail.
#include <gtest/gtest.h>

#include "editor/document_commands.h"
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
    void Type(const std::wstring& text, bool named = false) {
        doc.DocHasName = named ? 1 : doc.DocHasName;
        view.SetSelection(view.text.size(), 0);
        view.ReplaceSelection(text);
    }
    void ExpectState(std::int16_t changed, std::int16_t hasName, const std::wstring& caption) {
        EXPECT_EQ(doc.DocChanged, changed);
        EXPECT_EQ(doc.DocHasName, hasName);
        EXPECT_EQ(view.caption, caption);
    }
    const FileDialogRequest& Asked(std::size_t i = 0) { return p.dialogs.shown.at(i).request; }

    FakeProgram p;
    FakeMainView view;
    DocumentState doc;
    CommonDialog dialog{p.dialogs};
    DocumentCommands commands{p.platform, doc, view, dialog};
};

TEST_F(DocumentCommandsTest, SaveWritesTheDosCodePageUnderTheNameOrAsksForOne) {
    Type(L"\u041F\u0440", true);  // Пр
    commands.mnuSave_Click();
    EXPECT_EQ(p.files.Bytes(kDoc), "\x8F\xE0\r\n");
    EXPECT_TRUE(p.dialogs.shown.empty());
    ExpectState(0, 1, kDoc);
    EXPECT_EQ(view.text, L"\u041F\u0440");  // the conversion goes to the file only
    EXPECT_FALSE(view.undoText) << "a save ends the undo memory";

    doc.DocHasName = 0;
    Type(L"!");
    p.dialogs.Choose(kOther);
    commands.mnuSave_Click();
    EXPECT_TRUE(p.dialogs.shown.at(0).save);
    EXPECT_EQ(Asked().filter, L"Asm Projects (*.asm)|*.asm|All Files (*.*)|*.*");
    EXPECT_EQ(Asked().flags, 6);
    EXPECT_EQ(Asked().fileName, kDoc);  // preset with the caption's path
    EXPECT_EQ(p.files.Bytes(kOther), "\x8F\xE0!\r\n");
    ExpectState(0, 1, kOther);
    EXPECT_TRUE(p.messages.shown.empty());
}

// A cancelled dialog, and a read-only target refused by the dialog's check,
// write nothing but settle the document under its caption as a save would.
TEST_F(DocumentCommandsTest, ACancelOrAReadOnlyTargetSettlesTheDocumentUnderItsCaption) {
    p.files.Put(kOther, "keep\r\n", 0x21);  // read-only among other attributes
    for (const wchar_t* chosen : {L"", kOther}) {
        doc.DocHasName = 0;
        Type(L"y");
        p.dialogs.Choose(chosen);
        commands.mnuSave_Click();
        EXPECT_TRUE(p.files.log.empty());
        ExpectState(0, 1, kDoc);
        EXPECT_TRUE(view.undoText) << "nothing was written, nothing forgotten";
    }
    ASSERT_EQ(p.messages.shown.size(), 1u);
    EXPECT_EQ(p.messages.shown[0].text, L"Permission denied. Read only file.");
    EXPECT_EQ(p.messages.shown[0].title, L"Read only");
    EXPECT_EQ(p.messages.shown[0].style, 16u);
}

TEST_F(DocumentCommandsTest, SaveAsAlwaysAsksAndBindsTheDocumentToTheChosenFile) {
    Type(L"x", true);
    p.dialogs.Cancel();
    commands.mnuSaveAs_Click();
    EXPECT_EQ(Asked().fileName, kDoc);
    EXPECT_TRUE(p.files.log.empty());
    ExpectState(0, 1, kDoc);

    Type(L"y");
    p.dialogs.Choose(kOther);
    commands.mnuSaveAs_Click();
    EXPECT_EQ(p.files.log, std::vector<std::wstring>{L"write C:\\work\\other.asm"});
    ExpectState(0, 1, kOther);
    commands.mnuSave_Click();  // now bound to the new name: no dialog
    EXPECT_EQ(p.dialogs.shown.size(), 2u);
}

TEST_F(DocumentCommandsTest, ExitAsksOnlyAboutChangesAndYesSavesAsSaveDoes) {
    commands.ExitCheck();
    EXPECT_TRUE(p.messages.shown.empty());
    Type(L"named", true);
    commands.ExitCheck();  // the fake answers No
    EXPECT_EQ(p.messages.Texts(), std::vector<std::wstring>{L"Save change to the file before exit?"});
    EXPECT_EQ(p.messages.shown[0].style, 68u);
    EXPECT_EQ(p.messages.shown[0].title, L"");  // the program's title
    EXPECT_TRUE(p.files.log.empty());
    p.messages.answers = {kIdYes};
    commands.ExitCheck();
    EXPECT_EQ(p.files.Bytes(kDoc), "named\r\n");

    doc.DocHasName = 0;
    Type(L"!");
    p.messages.answers = {kIdYes};
    p.dialogs.Choose(kOther);
    commands.ExitCheck();
    EXPECT_EQ(p.files.Bytes(kOther), "named!\r\n");
}

// A failed write, through every command that saves: one message naming the
// file and the platform's reason; the disk, the text and the flags as they were.
TEST_F(DocumentCommandsTest, ASaveThatCannotBeWrittenReportsOnceAndChangesNothing) {
    for (int command = 0; command < 5; ++command) {
        SCOPED_TRACE(command);
        FakeProgram q;
        FakeMainView v;
        DocumentState d;
        CommonDialog cd{q.dialogs};
        DocumentCommands c{q.platform, d, v, cd};
        v.caption = kDoc;
        v.onChange = [&] { d.DocChanged = 1; };
        d.DocHasName = command == 1 ? 0 : 1;
        v.ReplaceSelection(L"typed");
        q.files.Put(kDoc, "on disk\r\n", kAttributeReadOnly * (command == 0));  // only the dialog checks
        q.files.fail[Lower(kDoc)] = 112;
        q.dialogs.Choose(kDoc);
        q.messages.answers = {kIdYes};
        std::vector<std::wstring> expected{L"The file could not be saved:\r\n" + std::wstring(kDoc) +
                                           L"\r\n\r\nError 112."};
        if (command <= 1)
            c.mnuSave_Click();  // named, then through the dialog
        else if (command == 2)
            c.mnuSaveAs_Click();
        else if (command == 3)
            c.mnuNew_Click(), expected.insert(expected.begin(), kNewQuestion);
        else
            c.ExitCheck(), expected.insert(expected.begin(), kExitQuestion);
        EXPECT_EQ(q.messages.Texts(), expected);
        EXPECT_EQ(q.messages.shown.back().style, 16u);
        EXPECT_EQ(q.files.Bytes(kDoc), "on disk\r\n");
        EXPECT_EQ(v.text, L"typed");  // New does not clear what could not be saved
        EXPECT_TRUE(v.undoText);
        EXPECT_EQ(d.DocChanged, 1);
        EXPECT_EQ(d.DocHasName, command == 1 ? 0 : 1);  // Save As keeps the old binding
        EXPECT_EQ(v.caption, kDoc);
    }
}

TEST_F(DocumentCommandsTest, ADialogThatCannotBeShownEndsTheCommandSilently) {
    p.dialogs.fail = true;
    Type(L"typed", true);
    commands.mnuSaveAs_Click();
    ExpectState(1, 1, kDoc);
    doc.DocHasName = 0;
    commands.mnuSave_Click();
    p.messages.answers = {kIdYes, kIdYes};
    commands.mnuNew_Click();
    commands.mnuOpen_Click();
    commands.ExitCheck();
    EXPECT_EQ(view.text, L"typed");
    EXPECT_TRUE(p.files.log.empty());
    EXPECT_EQ(p.messages.Texts(), (std::vector<std::wstring>{kNewQuestion, kExitQuestion}));
    ExpectState(1, 0, kDoc);
}

TEST_F(DocumentCommandsTest, NewAsksAfterAChangeAndClearsUnlessTheSaveFailed) {
    view.text = L"kept";
    doc.DocHasName = 1;
    commands.mnuNew_Click();  // unchanged: nothing at all
    EXPECT_TRUE(p.messages.shown.empty());
    ExpectState(0, 1, kDoc);

    Type(L"!");
    commands.mnuNew_Click();  // answered No
    EXPECT_EQ(p.messages.Texts(), std::vector<std::wstring>{L"Save change to the following file?"});
    EXPECT_EQ(p.messages.shown[0].style, 68u);
    EXPECT_EQ(view.text, L"");
    EXPECT_TRUE(p.files.log.empty());
    ExpectState(1, 0, kDoc);  // the caption stays; it still counts as changed

    // Yes saves through the dialog even when named; a cancel or a read-only refusal still clears.
    p.files.Put(L"C:\\ro.asm", "ro\r\n", kAttributeReadOnly);
    for (const wchar_t* chosen : {kOther, L"", L"C:\\ro.asm"}) {
        Type(L"saved", true);
        const std::wstring before = view.caption;
        p.messages.answers = {kIdYes};
        p.dialogs.shown.clear();
        p.dialogs.Choose(chosen);
        commands.mnuNew_Click();
        EXPECT_EQ(Asked().fileName, before);
        EXPECT_EQ(view.text, L"");
        EXPECT_EQ(doc.DocHasName, 0);
    }
    EXPECT_EQ(p.files.Bytes(kOther), "saved\r\n");
    EXPECT_EQ(p.files.Bytes(L"C:\\ro.asm"), "ro\r\n");
    EXPECT_EQ(view.caption, kOther);
}

TEST_F(DocumentCommandsTest, OpenReadsTheChosenFileWithoutLookingAtChanges) {
    p.files.Put(kOther, "A\rB\nC");
    Type(L"unsaved");
    p.dialogs.Choose(kOther);
    commands.mnuOpen_Click();
    EXPECT_FALSE(p.dialogs.shown[0].save);
    EXPECT_EQ(Asked().filter, kAsmFilter);
    EXPECT_EQ(Asked().flags, 4100);
    EXPECT_TRUE(p.messages.shown.empty());
    EXPECT_EQ(view.text, L"A\r\nB\nC\r\n");
    EXPECT_FALSE(view.undoText);
    ExpectState(0, 1, kOther);

    // The dialog starts with the name of its previous use; a cancel clears it and changes nothing.
    commands.mnuOpen_Click();
    commands.mnuOpen_Click();
    EXPECT_EQ(Asked(1).fileName, kOther);
    EXPECT_EQ(Asked(2).fileName, L"");
    ExpectState(0, 1, kOther);

    // A file that cannot be read leaves everything as it was, so a later Save cannot overwrite it.
    p.files.fail[Lower(kOther)] = 32;
    Type(L"mine", true);
    view.caption = kDoc;
    p.dialogs.Choose(kOther);
    commands.mnuOpen_Click();
    EXPECT_EQ(view.text, L"A\r\nB\nC\r\nmine");
    ExpectState(1, 1, kDoc);
    EXPECT_TRUE(p.messages.shown.empty());
}

}  // namespace
