// The File menu against in-memory platform services: what each command asks,
// writes and shows, the document's flags and caption afterwards, and every
// way a save can fail.
#include <gtest/gtest.h>

#include "codepage/cp1251.h"
#include "editor/document_commands.h"
#include "fakes.h"

namespace {

const wchar_t kDoc[] = L"C:\\work\\prog.asm";
const wchar_t kOther[] = L"C:\\work\\other.asm";
const wchar_t kPrivet[] = L"\u041F\u0440\u0438\u0432\u0435\u0442";  // Привет
const char kPrivetDos[] = "\x8F\xE0\xA8\xA2\xA5\xE2";

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
    void ExpectMessages(std::vector<std::wstring> texts) {
        std::vector<std::wstring> shown;
        for (const auto& m : p.messages.shown)
            shown.push_back(m.text);
        EXPECT_EQ(shown, texts);
    }
    const FileDialogRequest& Asked(std::size_t i = 0) { return p.dialogs.shown.at(i).request; }

    FakeProgram p;
    FakeMainView view;
    DocumentState doc;
    CommonDialog dialog{p.dialogs};
    DocumentCommands commands{p.platform, doc, view, dialog};
};

TEST_F(DocumentCommandsTest, SaveWritesTheDosCodePageUnderTheNameOrAsksForOne) {
    Type(kPrivet, true);
    commands.mnuSave_Click();
    EXPECT_EQ(p.files.Bytes(kDoc), std::string(kPrivetDos) + "\r\n");
    EXPECT_TRUE(p.dialogs.shown.empty());
    ExpectMessages({});
    ExpectState(0, 1, kDoc);
    EXPECT_EQ(view.text, kPrivet);  // the conversion goes to the file only
    EXPECT_FALSE(view.CanUndo());   // a save ends the undo memory

    doc.DocHasName = 0;
    Type(L"!");
    p.dialogs.Choose(kOther);
    commands.mnuSave_Click();
    EXPECT_TRUE(p.dialogs.shown.at(0).save);
    EXPECT_EQ(Asked().filter, L"Asm Projects (*.asm)|*.asm|All Files (*.*)|*.*");
    EXPECT_EQ(Asked().flags, 6);
    EXPECT_EQ(Asked().fileName, kDoc);  // preset with the caption's path
    EXPECT_EQ(p.files.Bytes(kOther), std::string(kPrivetDos) + "!\r\n");
    ExpectState(0, 1, kOther);
}

TEST_F(DocumentCommandsTest, CancellingTheSaveDialogSettlesTheDocumentUnderItsCaption) {
    Type(L"nop");
    p.dialogs.Cancel();
    commands.mnuSave_Click();
    EXPECT_TRUE(p.files.log.empty());
    ExpectState(0, 1, kDoc);
    EXPECT_TRUE(view.CanUndo());  // nothing was written, nothing forgotten
}

TEST_F(DocumentCommandsTest, SaveAsAlwaysAsksAndBindsTheDocumentToTheChosenFile) {
    Type(L"x", true);
    p.dialogs.Cancel();
    commands.mnuSaveAs_Click();
    EXPECT_EQ(Asked().fileName, kDoc);
    EXPECT_TRUE(p.files.log.empty());
    ExpectState(0, 1, kDoc);

    doc.DocHasName = 0;  // an unnamed document gets its name from Save As too
    Type(L"y");
    p.dialogs.Choose(kOther);
    commands.mnuSaveAs_Click();
    EXPECT_EQ(p.files.Bytes(kOther), "xy\r\n");
    EXPECT_FALSE(p.files.Has(kDoc));
    ExpectState(0, 1, kOther);
    commands.mnuSave_Click();  // now bound to the new name: no dialog
    EXPECT_EQ(p.dialogs.shown.size(), 2u);
}

TEST_F(DocumentCommandsTest, AReadOnlyTargetIsRefusedWithItsOwnMessage) {
    for (std::uint32_t attributes : {0x1u, 0x21u}) {  // read-only alone or with others
        p.files.Put(kOther, "keep\r\n", attributes);
        p.messages.shown.clear();
        doc.DocHasName = 0;
        Type(L"y");
        p.dialogs.Choose(kOther);
        commands.mnuSave_Click();
        ExpectMessages({L"Permission denied. Read only file."});
        EXPECT_EQ(p.messages.shown[0].title, L"Read only");
        EXPECT_EQ(p.messages.shown[0].style, 16u);
        EXPECT_EQ(p.files.Bytes(kOther), "keep\r\n");
        ExpectState(0, 1, kDoc);
    }
    // Under its own name the dialog's check is skipped: the write is refused as any failure is.
    p.files.Put(kDoc, "on disk\r\n", kAttributeReadOnly);
    p.messages.shown.clear();
    Type(L"z");
    commands.mnuSave_Click();
    ExpectMessages({SaveFailureText(kDoc, L"Error 5.")});
    ExpectState(1, 1, kDoc);
}

TEST_F(DocumentCommandsTest, ExitAsksOnlyAboutChangesAndYesSavesAsSaveDoes) {
    commands.ExitCheck();
    ExpectMessages({});
    Type(L"named", true);
    commands.ExitCheck();  // the fake answers No
    ExpectMessages({L"Save change to the file before exit?"});
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

// Every cause of a failed write, through every command that saves: one
// message naming the file and the platform's reason, the disk, the text and
// the flags as they were.
TEST_F(DocumentCommandsTest, ASaveThatCannotBeWrittenReportsOnceAndChangesNothing) {
    struct Cause {
        std::function<void(FakeFileSystem&)> arrange;
        const wchar_t* reason;
    };
    const Cause causes[] = {
        {[](FakeFileSystem& f) { f.missingFolders.insert(L"c:\\work\\"); }, L"Error 3."},
        {[](FakeFileSystem& f) { f.locked.insert(L"c:\\work\\prog.asm"); }, L"Error 32."},
        {[](FakeFileSystem& f) { f.diskFull = true; }, L"Error 112."},
    };
    for (const Cause& cause : causes) {
        for (int command = 0; command < 5; ++command) {
            SCOPED_TRACE(std::to_string(command) + " " + std::string(cause.reason, cause.reason + 4));
            FakeProgram q;
            FakeMainView v;
            DocumentState d;
            CommonDialog cd{q.dialogs};
            DocumentCommands c{q.platform, d, v, cd};
            v.caption = kDoc;
            v.onChange = [&] { d.DocChanged = 1; };
            d.DocHasName = command == 1 ? 0 : 1;
            v.ReplaceSelection(L"typed");
            q.files.Put(kDoc, "on disk\r\n");
            cause.arrange(q.files);
            q.dialogs.Choose(kDoc);
            q.messages.answers = {kIdYes};
            std::vector<std::wstring> expected{SaveFailureText(kDoc, cause.reason)};
            if (command == 0)
                c.mnuSave_Click();
            else if (command == 1)
                c.mnuSave_Click();  // through the dialog
            else if (command == 2)
                c.mnuSaveAs_Click();
            else if (command == 3)
                c.mnuNew_Click(), expected.insert(expected.begin(), kNewQuestion);
            else
                c.ExitCheck(), expected.insert(expected.begin(), kExitQuestion);
            std::vector<std::wstring> shown;
            for (const auto& m : q.messages.shown)
                shown.push_back(m.text);
            EXPECT_EQ(shown, expected);
            EXPECT_EQ(q.messages.shown.back().style, 16u);
            EXPECT_EQ(q.files.Bytes(kDoc), "on disk\r\n");
            EXPECT_EQ(v.text, L"typed");  // New does not clear what could not be saved
            EXPECT_TRUE(v.CanUndo());
            EXPECT_EQ(d.DocChanged, 1);
            EXPECT_EQ(d.DocHasName, command == 1 ? 0 : 1);  // Save As keeps the old binding
            EXPECT_EQ(v.caption, kDoc);
        }
    }
}

TEST_F(DocumentCommandsTest, ADialogThatCannotBeShownEndsTheCommandSilently) {
    p.dialogs.fail = true;
    Type(L"typed", true);
    commands.mnuSaveAs_Click();
    ExpectState(1, 1, kDoc);
    doc.DocHasName = 0;
    commands.mnuSave_Click();
    p.messages.answers = {kIdYes};
    commands.mnuNew_Click();
    commands.mnuOpen_Click();
    p.messages.answers = {kIdYes};
    commands.ExitCheck();
    EXPECT_EQ(view.text, L"typed");
    EXPECT_TRUE(p.files.log.empty());
    ExpectMessages({kNewQuestion, kExitQuestion});
    ExpectState(1, 0, kDoc);
}

TEST_F(DocumentCommandsTest, NewAsksAfterAChangeAndClearsUnlessTheSaveFailed) {
    view.text = L"kept";
    doc.DocHasName = 1;
    commands.mnuNew_Click();  // unchanged: nothing at all
    ExpectMessages({});
    EXPECT_EQ(view.text, L"kept");
    ExpectState(0, 1, kDoc);

    Type(L"!");
    commands.mnuNew_Click();  // answered No
    ExpectMessages({L"Save change to the following file?"});
    EXPECT_EQ(p.messages.shown[0].style, 68u);
    EXPECT_EQ(view.text, L"");
    EXPECT_TRUE(p.files.log.empty());
    ExpectState(1, 0, kDoc);  // the caption stays; it still counts as changed
    commands.mnuNew_Click();
    EXPECT_EQ(p.messages.shown.size(), 2u);

    // Yes saves through the dialog even when named; a cancel or a read-only refusal still clears.
    p.files.Put(L"C:\\ro.asm", "ro\r\n", kAttributeReadOnly);
    for (const wchar_t* chosen : {kOther, L"", L"C:\\ro.asm"}) {
        Type(L"saved", true);
        const std::wstring before = view.caption;
        p.messages.answers = {kIdYes};
        p.dialogs.shown.clear();
        *chosen ? p.dialogs.Choose(chosen) : p.dialogs.Cancel();
        commands.mnuNew_Click();
        EXPECT_EQ(Asked().fileName, before);
        EXPECT_EQ(view.text, L"");
        EXPECT_EQ(doc.DocHasName, 0);
    }
    EXPECT_EQ(p.files.Bytes(kOther), "saved\r\n");
    EXPECT_EQ(p.files.Bytes(L"C:\\ro.asm"), "ro\r\n");
    EXPECT_EQ(p.messages.shown.back().text, kReadOnlyText);
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
    ExpectMessages({});
    EXPECT_EQ(view.text, L"A\r\nB\nC\r\n");
    EXPECT_FALSE(view.CanUndo());
    ExpectState(0, 1, kOther);
    commands.mnuSave_Click();  // every save adds a line end
    EXPECT_EQ(p.files.Bytes(kOther), "A\r\nB\nC\r\n\r\n");

    // The dialog starts with the name of its previous use; a cancel clears it and changes nothing.
    commands.mnuOpen_Click();
    commands.mnuOpen_Click();
    EXPECT_EQ(Asked(1).fileName, kOther);
    EXPECT_EQ(Asked(2).fileName, L"");
    ExpectState(0, 1, kOther);
}

TEST_F(DocumentCommandsTest, AFileThatCannotBeReadLeavesEverythingAsItWas) {
    p.files.Put(kOther, "locked\r\n");
    p.files.locked.insert(Lower(kOther));
    Type(L"mine", true);
    p.dialogs.Choose(kOther);
    commands.mnuOpen_Click();
    ExpectMessages({});
    EXPECT_EQ(view.text, L"mine");
    ExpectState(1, 1, kDoc);  // a later Save cannot overwrite the unread file
}

TEST_F(DocumentCommandsTest, SavedCyrillicReopensAsTheWindowsCharactersOfItsDosBytes) {
    Type(kPrivet);
    p.dialogs.Choose(kOther);
    commands.mnuSave_Click();
    p.dialogs.Choose(kOther);
    commands.mnuOpen_Click();
    EXPECT_EQ(view.text, DecodeCp1251(std::string(kPrivetDos) + "\r\n"));
}

}  // namespace
