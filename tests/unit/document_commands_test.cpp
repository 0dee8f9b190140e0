// The File menu against in-memory platform services: what each command asks,
// writes and shows, the document's flags and caption afterwards, and every
// way a save can fail.
#include <gtest/gtest.h>

#include "codepage/cp1251.h"
#include "editor/document_commands.h"
#include "editor/source_file.h"
#include "fakes.h"

namespace {

const wchar_t kDocPath[] = L"C:\\work\\prog.asm";
const wchar_t kOtherPath[] = L"C:\\work\\other.asm";

class DocumentCommandsTest : public ::testing::Test {
  protected:
    DocumentCommandsTest() {
        view.caption = kDocPath;
        view.onChange = [this] { doc.DocChanged = 1; };  // the editor's change notification
    }

    // The user types into the editor.
    void Type(const std::wstring& text) {
        view.SetSelection(view.text.size(), 0);
        view.ReplaceSelection(text);
    }
    // A named document holding a typed change.
    void NamedAndChanged(const std::wstring& text = L"mov ax, 1") {
        doc.DocHasName = 1;
        Type(text);
    }
    void ExpectState(std::int16_t changed, std::int16_t hasName, const std::wstring& caption) {
        EXPECT_EQ(doc.DocChanged, changed);
        EXPECT_EQ(doc.DocHasName, hasName);
        EXPECT_EQ(view.caption, caption);
    }
    const FakeFileDialogs::Shown& OnlyDialog() {
        EXPECT_EQ(p.dialogs.shown.size(), 1u);
        return p.dialogs.shown.at(0);
    }

    FakeProgram p;
    FakeMainView view;
    DocumentState doc;
    CommonDialog dialog{p.dialogs};
    DocumentCommands commands{p.platform, doc, view, dialog};
};

// --- Save and Save As ---------------------------------------------------------

TEST_F(DocumentCommandsTest, SaveOfANamedDocumentWritesItsPathWithoutAsking) {
    NamedAndChanged(L"\u041F\u0440\u0438\u0432\u0435\u0442");  // Привет
    commands.mnuSave_Click();
    EXPECT_EQ(p.files.Bytes(kDocPath), "\x8F\xE0\xA8\xA2\xA5\xE2\r\n");
    EXPECT_TRUE(p.dialogs.shown.empty());
    EXPECT_TRUE(p.messages.shown.empty());
    ExpectState(0, 1, kDocPath);
    EXPECT_EQ(view.text, L"\u041F\u0440\u0438\u0432\u0435\u0442");  // the conversion goes to the file only
    EXPECT_FALSE(view.CanUndo());                                   // a save ends the undo memory
}

TEST_F(DocumentCommandsTest, SaveOfAnUnnamedDocumentAsksWithThePathAsPreset) {
    Type(L"nop");
    p.dialogs.Choose(kOtherPath);
    commands.mnuSave_Click();
    const auto& shown = OnlyDialog();
    EXPECT_TRUE(shown.save);
    EXPECT_EQ(shown.request.filter, L"Asm Projects (*.asm)|*.asm|All Files (*.*)|*.*");
    EXPECT_EQ(shown.request.flags, 6);
    EXPECT_EQ(shown.request.fileName, kDocPath);
    EXPECT_EQ(p.files.Bytes(kOtherPath), "nop\r\n");
    EXPECT_FALSE(p.files.Has(kDocPath));
    ExpectState(0, 1, kOtherPath);
}

TEST_F(DocumentCommandsTest, CancellingTheSaveDialogSettlesTheDocumentUnderItsCaption) {
    Type(L"nop");
    p.dialogs.Cancel();
    commands.mnuSave_Click();
    EXPECT_TRUE(p.files.log.empty());
    ExpectState(0, 1, kDocPath);
    EXPECT_TRUE(view.CanUndo());  // nothing was written, nothing forgotten
}

TEST_F(DocumentCommandsTest, SaveAsOfANamedDocumentAlwaysAsks) {
    NamedAndChanged();
    p.dialogs.Cancel();
    commands.mnuSaveAs_Click();
    EXPECT_EQ(OnlyDialog().request.fileName, kDocPath);
    EXPECT_TRUE(p.files.log.empty());
    ExpectState(0, 1, kDocPath);  // unchanged and named under its old path
}

TEST_F(DocumentCommandsTest, SaveAsWritesTheChosenFileAndRenamesTheDocument) {
    NamedAndChanged(L"x");
    p.dialogs.Choose(kOtherPath);
    commands.mnuSaveAs_Click();
    EXPECT_EQ(p.files.Bytes(kOtherPath), "x\r\n");
    EXPECT_FALSE(p.files.Has(kDocPath));
    ExpectState(0, 1, kOtherPath);
    commands.mnuSave_Click();  // now bound to the new name
    EXPECT_EQ(p.dialogs.shown.size(), 1u);
}

TEST_F(DocumentCommandsTest, ReadOnlyTargetIsRefusedWithItsOwnMessage) {
    for (std::uint32_t attributes : {0x1u, 0x21u, 0x27u}) {  // read-only alone or with others
        SCOPED_TRACE(attributes);
        p.files.Put(kOtherPath, "keep\r\n", attributes);
        p.messages.shown.clear();
        doc.DocHasName = 0;
        Type(L"y");
        p.dialogs.Choose(kOtherPath);
        commands.mnuSave_Click();
        ASSERT_EQ(p.messages.shown.size(), 1u);
        EXPECT_EQ(p.messages.shown[0].text, L"Permission denied. Read only file.");
        EXPECT_EQ(p.messages.shown[0].title, L"Read only");
        EXPECT_EQ(p.messages.shown[0].style, 16u);
        EXPECT_EQ(p.files.Bytes(kOtherPath), "keep\r\n");
        ExpectState(0, 1, kDocPath);
    }
}

TEST_F(DocumentCommandsTest, ExitWithoutChangesAsksNothing) {
    commands.ExitCheck();
    EXPECT_TRUE(p.messages.shown.empty());
}

TEST_F(DocumentCommandsTest, ExitWithChangesAsksOnceAndNoSavesNothing) {
    NamedAndChanged();
    p.messages.answers = {kIdNo};
    commands.ExitCheck();
    ASSERT_EQ(p.messages.shown.size(), 1u);
    EXPECT_EQ(p.messages.shown[0].text, L"Save change to the file before exit?");
    EXPECT_EQ(p.messages.shown[0].style, 68u);
    EXPECT_EQ(p.messages.shown[0].title, L"");  // the program's title
    EXPECT_TRUE(p.files.log.empty());
}

TEST_F(DocumentCommandsTest, ExitAnsweredYesSavesAsSaveDoes) {
    NamedAndChanged(L"named");
    p.messages.answers = {kIdYes};
    commands.ExitCheck();
    EXPECT_EQ(p.files.Bytes(kDocPath), "named\r\n");

    doc.DocHasName = 0;
    Type(L"!");
    p.messages.answers = {kIdYes};
    p.dialogs.Choose(kOtherPath);
    commands.ExitCheck();
    EXPECT_EQ(p.files.Bytes(kOtherPath), "named!\r\n");
}

// --- Saves that cannot be written ---------------------------------------------

struct Failure {
    const char* name;
    std::function<void(FakeFileSystem&)> arrange;
    std::uint32_t code;
};

class FailedSaveTest : public DocumentCommandsTest, public ::testing::WithParamInterface<Failure> {
  protected:
    void SetUp() override {
        p.files.Put(kDocPath, "on disk\r\n");
        GetParam().arrange(p.files);
    }
    // The one message: the file and the platform's reason, under the program's title.
    void ExpectOneMessageAbout(const std::wstring& path) {
        ASSERT_EQ(p.messages.shown.size(), 1u);
        EXPECT_EQ(p.messages.shown[0].text, SaveFailureText(path, p.system.ErrorText(GetParam().code)));
        EXPECT_NE(p.messages.shown[0].text.find(path), std::wstring::npos);
        EXPECT_EQ(p.messages.shown[0].title, L"");
        EXPECT_EQ(p.messages.shown[0].style, 16u);
    }
    void ExpectDiskAsItWas() {
        EXPECT_EQ(p.files.Bytes(kDocPath), "on disk\r\n");
        EXPECT_FALSE(p.files.Has(kOtherPath));
    }
};

TEST_P(FailedSaveTest, SaveUnderItsNameChangesNothing) {
    NamedAndChanged(L"typed");
    commands.mnuSave_Click();
    ExpectOneMessageAbout(kDocPath);
    ExpectDiskAsItWas();
    ExpectState(1, 1, kDocPath);
    EXPECT_EQ(view.text, L"typed");
    EXPECT_TRUE(view.CanUndo());
}

TEST_P(FailedSaveTest, SaveThroughTheDialogKeepsTheOldCaptionAndFlags) {
    Type(L"typed");
    p.dialogs.Choose(kDocPath);
    commands.mnuSave_Click();
    ExpectOneMessageAbout(kDocPath);
    ExpectDiskAsItWas();
    ExpectState(1, 0, kDocPath);
}

TEST_P(FailedSaveTest, SaveAsOfANamedDocumentKeepsItBoundToItsOldName) {
    NamedAndChanged(L"typed");
    p.dialogs.Choose(kDocPath);
    commands.mnuSaveAs_Click();
    ExpectOneMessageAbout(kDocPath);
    ExpectState(1, 1, kDocPath);
}

TEST_P(FailedSaveTest, NewDoesNotClearTextThatCouldNotBeSaved) {
    NamedAndChanged(L"typed");
    p.messages.answers = {kIdYes};
    p.dialogs.Choose(kDocPath);
    commands.mnuNew_Click();
    ASSERT_EQ(p.messages.shown.size(), 2u);  // the question, then the failure
    EXPECT_EQ(p.messages.shown[1].text, SaveFailureText(kDocPath, p.system.ErrorText(GetParam().code)));
    ExpectDiskAsItWas();
    EXPECT_EQ(view.text, L"typed");
    ExpectState(1, 1, kDocPath);
}

TEST_P(FailedSaveTest, ExitReportsTheFailureOnceAndStillEnds) {
    NamedAndChanged(L"typed");
    p.messages.answers = {kIdYes};
    commands.ExitCheck();  // returns: the window closes whatever the save did
    EXPECT_EQ(p.messages.shown.size(), 2u);
    ExpectDiskAsItWas();
}

INSTANTIATE_TEST_SUITE_P(
    EveryCause,
    FailedSaveTest,
    ::testing::Values(Failure{"MissingFolder",
                              [](FakeFileSystem& f) { f.missingFolders.insert(L"c:\\work\\"); },
                              kErrPathNotFound},
                      Failure{"LockedFile", [](FakeFileSystem& f) { f.locked.insert(L"c:\\work\\prog.asm"); },
                              kErrSharingViolation},
                      Failure{"DiskFull", [](FakeFileSystem& f) { f.diskFull = true; }, kErrDiskFull}),
    [](const ::testing::TestParamInfo<Failure>& info) { return std::string(info.param.name); });

// Save under the current name reaches a read-only file without the dialog's
// check: the write is refused and reported like any other failure.
TEST_F(DocumentCommandsTest, SaveUnderItsNameToAReadOnlyFileReportsTheRefusal) {
    p.files.Put(kDocPath, "on disk\r\n", kAttributeReadOnly);
    NamedAndChanged(L"typed");
    commands.mnuSave_Click();
    ASSERT_EQ(p.messages.shown.size(), 1u);
    EXPECT_EQ(p.messages.shown[0].text, SaveFailureText(kDocPath, p.system.ErrorText(kErrAccessDenied)));
    EXPECT_EQ(p.files.Bytes(kDocPath), "on disk\r\n");
    ExpectState(1, 1, kDocPath);
}

TEST_F(DocumentCommandsTest, ADialogThatCannotBeShownEndsTheCommandSilently) {
    p.dialogs.fail = true;
    NamedAndChanged(L"typed");
    commands.mnuSaveAs_Click();
    ExpectState(1, 1, kDocPath);
    doc.DocHasName = 0;
    commands.mnuSave_Click();
    ExpectState(1, 0, kDocPath);
    p.messages.answers = {kIdYes};
    commands.mnuNew_Click();
    EXPECT_EQ(view.text, L"typed");
    commands.mnuOpen_Click();
    p.messages.answers = {kIdYes};
    commands.ExitCheck();
    EXPECT_TRUE(p.files.log.empty());
    EXPECT_EQ(p.messages.shown.size(), 2u);  // only New's and Exit's questions
    ExpectState(1, 0, kDocPath);
}

// --- New ------------------------------------------------------------------------

TEST_F(DocumentCommandsTest, NewOfAnUnchangedDocumentDoesNothing) {
    view.text = L"kept";
    doc.DocHasName = 1;
    commands.mnuNew_Click();
    EXPECT_TRUE(p.messages.shown.empty());
    EXPECT_EQ(view.text, L"kept");
    ExpectState(0, 1, kDocPath);
}

TEST_F(DocumentCommandsTest, NewAnsweredNoClearsAndKeepsTheCaption) {
    NamedAndChanged();
    commands.mnuNew_Click();  // the fake answers No
    ASSERT_EQ(p.messages.shown.size(), 1u);
    EXPECT_EQ(p.messages.shown[0].text, L"Save change to the following file?");
    EXPECT_EQ(p.messages.shown[0].style, 68u);
    EXPECT_EQ(p.messages.shown[0].title, L"");
    EXPECT_EQ(view.text, L"");
    EXPECT_TRUE(p.files.log.empty());
    ExpectState(1, 0, kDocPath);

    commands.mnuNew_Click();  // still changed: asks again
    EXPECT_EQ(p.messages.shown.size(), 2u);

    p.dialogs.Cancel();
    commands.mnuSave_Click();  // the first save asks, preset with the old path
    EXPECT_EQ(OnlyDialog().request.fileName, kDocPath);
}

TEST_F(DocumentCommandsTest, NewAnsweredYesSavesThroughTheDialogEvenWhenNamed) {
    NamedAndChanged(L"saved");
    p.messages.answers = {kIdYes};
    p.dialogs.Choose(kOtherPath);
    commands.mnuNew_Click();
    EXPECT_EQ(OnlyDialog().request.fileName, kDocPath);
    EXPECT_EQ(OnlyDialog().request.flags, 6);
    EXPECT_EQ(p.files.Bytes(kOtherPath), "saved\r\n");
    EXPECT_EQ(view.text, L"");
    ExpectState(1, 0, kOtherPath);
}

TEST_F(DocumentCommandsTest, NewAnsweredYesClearsAfterACancelOrAReadOnlyRefusal) {
    NamedAndChanged();
    p.messages.answers = {kIdYes};
    p.dialogs.Cancel();
    commands.mnuNew_Click();
    EXPECT_EQ(view.text, L"");
    ExpectState(1, 0, kDocPath);

    p.files.Put(kOtherPath, "ro\r\n", kAttributeReadOnly);
    Type(L"more");
    p.messages.answers = {kIdYes};
    p.dialogs.Choose(kOtherPath);
    commands.mnuNew_Click();
    EXPECT_EQ(p.messages.shown.back().text, L"Permission denied. Read only file.");
    EXPECT_EQ(p.files.Bytes(kOtherPath), "ro\r\n");
    EXPECT_EQ(view.text, L"");
    ExpectState(1, 0, kDocPath);
}

// --- Open -------------------------------------------------------------------------

TEST_F(DocumentCommandsTest, OpenReadsTheChosenFileWithoutLookingAtChanges) {
    p.files.Put(kOtherPath, "A\rB\nC");
    Type(L"unsaved");
    p.dialogs.Choose(kOtherPath);
    commands.mnuOpen_Click();
    const auto& shown = OnlyDialog();
    EXPECT_FALSE(shown.save);
    EXPECT_EQ(shown.request.filter, kAsmFilter);
    EXPECT_EQ(shown.request.flags, 4100);
    EXPECT_TRUE(p.messages.shown.empty());
    EXPECT_EQ(view.text, L"A\r\nB\nC\r\n");
    EXPECT_FALSE(view.CanUndo());
    ExpectState(0, 1, kOtherPath);
}

TEST_F(DocumentCommandsTest, OpenStartsWithTheNameOfTheDialogsPreviousUse) {
    Type(L"x");
    p.dialogs.Choose(kOtherPath);
    commands.mnuSave_Click();
    commands.mnuOpen_Click();  // cancelled: the name goes
    commands.mnuOpen_Click();
    ASSERT_EQ(p.dialogs.shown.size(), 3u);
    EXPECT_EQ(p.dialogs.shown[1].request.fileName, kOtherPath);
    EXPECT_EQ(p.dialogs.shown[2].request.fileName, L"");
}

TEST_F(DocumentCommandsTest, CancelledOpenDoesNothing) {
    Type(L"kept");
    commands.mnuOpen_Click();
    EXPECT_EQ(view.text, L"kept");
    ExpectState(1, 0, kDocPath);
}

TEST_F(DocumentCommandsTest, AFileThatCannotBeReadLeavesEverythingAsItWas) {
    p.files.Put(kOtherPath, "locked\r\n");
    p.files.locked.insert(Lower(kOtherPath));
    NamedAndChanged(L"mine");
    p.dialogs.Choose(kOtherPath);
    commands.mnuOpen_Click();
    EXPECT_TRUE(p.messages.shown.empty());
    EXPECT_EQ(view.text, L"mine");
    ExpectState(1, 1, kDocPath);  // a later Save cannot overwrite the unread file
}

// --- Whole stories ------------------------------------------------------------------

TEST_F(DocumentCommandsTest, OpeningLinesAAndBAndSavingAgainAddsAnEmptyLine) {
    p.files.Put(kOtherPath, "A\r\nB\r\n");
    p.dialogs.Choose(kOtherPath);
    commands.mnuOpen_Click();
    commands.mnuSave_Click();
    EXPECT_EQ(p.files.Bytes(kOtherPath), "A\r\nB\r\n\r\n");
}

TEST_F(DocumentCommandsTest, TypedCyrillicIsSavedInCp866AndReadBackAsItsWindowsCharacters) {
    Type(L"\u041F\u0440\u0438\u0432\u0435\u0442");  // Привет
    p.dialogs.Choose(kOtherPath);
    commands.mnuSave_Click();
    EXPECT_EQ(p.files.Bytes(kOtherPath), "\x8F\xE0\xA8\xA2\xA5\xE2\r\n");
    p.dialogs.Choose(kOtherPath);
    commands.mnuOpen_Click();
    EXPECT_EQ(view.text, DecodeCp1251("\x8F\xE0\xA8\xA2\xA5\xE2\r\n"));
}

}  // namespace
