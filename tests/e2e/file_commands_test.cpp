// The File menu of the real program: what it writes byte by byte, what it
// asks, and what a save that cannot be written leaves behind.
#include "editor_steps.h"

namespace e2e {
namespace {

// Привет as the editor holds it, and as its CP866 bytes.
const wchar_t kPrivet[] = L"\u041F\u0440\u0438\u0432\u0435\u0442";
const char kPrivetDos[] = "\x8F\xE0\xA8\xA2\xA5\xE2";

const wchar_t kSaveQuestionNew[] = L"Save change to the following file?";
const wchar_t kSaveQuestionExit[] = L"Save change to the file before exit?";

std::optional<std::string> Bytes(const std::string& bytes) {
    return bytes;
}

// Answers the open message box (which must show `text`) with the button.
void Answer(const Program& app, const std::wstring& text, int button) {
    HWND box = app.WaitForMessageBox();
    CHECK_EQ(MessageBoxText(box), text);
    PressButton(box, button);
    WaitUntil([&] { return app.FindMessageBox() != box; });
}

// A document opened from the command line and then typed into: named and changed.
Program StartChanged(const std::wstring& path, const std::string& bytes, const std::wstring& typed) {
    WriteBytes(path, bytes);
    Program app = Program::Start(path);
    REQUIRE_EQ(app.Caption(), path);
    app.TypeInEditor(typed);
    return app;
}

}  // namespace

E2E_TEST(FileCommands, TypedCyrillicIsSavedInCp866AndReopensAsItsWindowsCharacters) {
    Program app = Program::Start();
    app.TypeInEditor(kPrivet);
    app.Click(Command::Save);
    HWND dialog = app.WaitForFileDialog();
    CHECK_EQ(ControlText(dialog, kFileNameBoxId), L"asm1.asm");  // preset with the caption's path
    const std::wstring path = WorkFolder() + L"\\hello.asm";
    ChooseFile(dialog, path);
    CHECK_EVENTUALLY_EQ(app.Caption(), path);
    CHECK_EVENTUALLY_EQ(ReadBytes(path), Bytes(std::string(kPrivetDos) + "\r\n"));
    CHECK_EQ(app.EditorText(), kPrivet);  // the conversion went to the file only

    app.Click(Command::Open);
    dialog = app.WaitForFileDialog();
    CHECK_EQ(ControlText(dialog, kFileNameBoxId), L"hello.asm");  // the dialog's previous name
    ChooseFile(dialog, path);
    CHECK_EVENTUALLY_EQ(app.EditorText(), DecodeWindows1251(std::string(kPrivetDos) + "\r\n"));
    CHECK_EQ(app.EditorText().substr(0, 2), L"\u040F\u0430");  // Џа: the bytes' Windows characters
    app.Close();
    CHECK(app.WaitForExit());  // a file just read counts as unchanged
}

E2E_TEST(FileCommands, OpeningLinesAAndBAndSavingAgainAddsAnEmptyLine) {
    const std::wstring path = WorkFolder() + L"\\ab.asm";
    WriteBytes(path, "A\r\nB\r\n");
    Program app = Program::Start();
    app.TypeInEditor(L"unsaved text, replaced without a question");
    app.Click(Command::Open);
    ChooseFile(app.WaitForFileDialog(), path);
    CHECK_EVENTUALLY_EQ(app.Caption(), path);
    CHECK_EQ(app.EditorText(), L"A\r\nB\r\n");
    CHECK(!app.FindMessageBox());
    Run(app, Command::Save);  // bound to its file: no dialog
    CHECK_EQ(ReadBytes(path), Bytes("A\r\nB\r\n\r\n"));
    Run(app, Command::Undo);  // a save leaves nothing to undo
    CHECK_EQ(app.EditorText(), L"A\r\nB\r\n");
}

E2E_TEST(FileCommands, NewAsksOnlyAfterAChangeAndNoClearsButKeepsTheCaption) {
    const std::wstring path = WorkFolder() + L"\\prog.asm";
    WriteBytes(path, "mov ax, 1\r\n");
    Program app = Program::Start(path);
    Run(app, Command::New);  // unchanged: nothing at all
    CHECK(!app.FindMessageBox());
    CHECK_EQ(app.EditorText(), L"mov ax, 1\r\n");

    app.TypeInEditor(L"; ");
    app.Click(Command::New);
    HWND box = app.WaitForMessageBox();
    CHECK_EQ(WindowText(box), L"Korveline");
    Answer(app, kSaveQuestionNew, IDNO);
    CHECK_EVENTUALLY_EQ(app.EditorText(), L"");
    CHECK_EQ(app.Caption(), path);

    app.Click(Command::New);  // still counts as changed: asks again
    Answer(app, kSaveQuestionNew, IDNO);

    app.Click(Command::Save);  // the new document has no name yet
    HWND dialog = app.WaitForFileDialog();
    CHECK_EQ(ControlText(dialog, kFileNameBoxId), L"prog.asm");
    PressButton(dialog, IDCANCEL);
    CHECK_EVENTUALLY(!app.FindWindowOfClass(kDialogClass));
    CHECK_EQ(ReadBytes(path), Bytes("mov ax, 1\r\n"));
    app.Close();
    CHECK(app.WaitForExit());  // the cancelled save settled the document: no question
}

E2E_TEST(FileCommands, NewAnsweredYesSavesThroughTheDialogThenClears) {
    Program app = StartChanged(WorkFolder() + L"\\prog.asm", "old\r\n", L"new ");
    app.Click(Command::New);
    Answer(app, kSaveQuestionNew, IDYES);
    const std::wstring chosen = WorkFolder() + L"\\kept.asm";
    ChooseFile(app.WaitForFileDialog(), chosen);
    CHECK_EVENTUALLY_EQ(ReadBytes(chosen), Bytes("new old\r\n\r\n"));
    CHECK_EVENTUALLY_EQ(app.EditorText(), L"");
    CHECK_EQ(app.Caption(), chosen);
}

E2E_TEST(FileCommands, SaveAsCancelledLeavesTheDocumentNamedAndUnchanged) {
    const std::wstring path = WorkFolder() + L"\\prog.asm";
    Program app = StartChanged(path, "old\r\n", L"new ");
    app.Click(Command::SaveAs);
    HWND dialog = app.WaitForFileDialog();
    CHECK_EQ(ControlText(dialog, kFileNameBoxId), L"prog.asm");
    PressButton(dialog, IDCANCEL);
    CHECK_EVENTUALLY(!app.FindWindowOfClass(kDialogClass));
    CHECK_EQ(app.Caption(), path);
    CHECK_EQ(ReadBytes(path), Bytes("old\r\n"));
    app.Close();
    CHECK(app.WaitForExit());
    CHECK_EQ(ReadBytes(path), Bytes("old\r\n"));
}

E2E_TEST(FileCommands, ReadOnlyTargetIsRefusedAndNothingIsWritten) {
    const std::wstring path = WorkFolder() + L"\\ro.asm";
    WriteBytes(path, "keep\r\n");
    REQUIRE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    Program app = Program::Start();
    const std::wstring caption = app.Caption();
    app.TypeInEditor(L"lost");
    app.Click(Command::Save);
    ChooseFile(app.WaitForFileDialog(), path);
    // The dialog asks whether to replace the existing file; then the program refuses.
    HWND box = app.WaitForMessageBox();
    if (MessageBoxText(box).find(L"Permission denied") == std::wstring::npos) {
        PressButton(box, IDYES);
        CHECK_EVENTUALLY_EQ(ShownMessage(app), L"Permission denied. Read only file.");
        box = app.WaitForMessageBox();
    }
    CHECK_EQ(MessageBoxText(box), L"Permission denied. Read only file.");
    CHECK_EQ(WindowText(box), L"Read only");
    PressButton(box, IDOK);
    CHECK_EVENTUALLY(!app.FindMessageBox());
    CHECK_EQ(ReadBytes(path), Bytes("keep\r\n"));
    CHECK_EQ(FolderNames(WorkFolder()), std::vector<std::wstring>{L"ro.asm"});
    CHECK_EQ(app.Caption(), caption);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

E2E_TEST(FileCommands, ExitWithChangesAsksExactlyOnceByTheMenuAndByTheCloseBox) {
    {
        Program app = Program::Start();
        app.TypeInEditor(L"x");
        app.Click(Command::Exit);
        Answer(app, kSaveQuestionExit, IDNO);
        CHECK(app.WaitForExit());  // a second question would keep it running
    }
    {
        Program app = Program::Start();
        app.TypeInEditor(L"x");
        app.Close();
        Answer(app, kSaveQuestionExit, IDNO);
        CHECK(app.WaitForExit());
    }
    {
        const std::wstring path = WorkFolder() + L"\\prog.asm";
        Program app = StartChanged(path, "old\r\n", L"new ");
        app.Close();
        Answer(app, kSaveQuestionExit, IDYES);
        CHECK(app.WaitForExit());
        CHECK_EQ(ReadBytes(path), Bytes("new old\r\n\r\n"));
    }
}

E2E_TEST(FileCommands, SaveIntoAFolderThatIsGoneReportsOnceAndChangesNothing) {
    const std::wstring folder = WorkFolder() + L"\\gone";
    const std::wstring path = folder + L"\\prog.asm";
    Program app = StartChanged(path, "old\r\n", L"new ");
    REQUIRE(MoveFileW(folder.c_str(), (WorkFolder() + L"\\moved").c_str()));
    app.Click(Command::Save);
    HWND box = app.WaitForMessageBox();
    CHECK_EQ(MessageBoxText(box), L"The file could not be saved:\r\n" + path + L"\r\n\r\n" +
                                      SystemErrorText(ERROR_PATH_NOT_FOUND));
    CHECK_EQ(WindowText(box), L"Korveline");
    PressButton(box, IDOK);
    CHECK_EVENTUALLY(!app.FindMessageBox());
    CHECK(!FileExists(folder));
    CHECK_EQ(ReadBytes(WorkFolder() + L"\\moved\\prog.asm"), Bytes("old\r\n"));
    CHECK_EQ(app.Caption(), path);
    CHECK_EQ(app.EditorText(), L"new old\r\n");
    app.Close();  // still changed: the exit question comes
    Answer(app, kSaveQuestionExit, IDNO);
    CHECK(app.WaitForExit());
}

E2E_TEST(FileCommands, SaveOverAFileAnotherProgramHoldsReportsOnceAndKeepsTheFile) {
    const std::wstring path = WorkFolder() + L"\\prog.asm";
    Program app = StartChanged(path, "old\r\n", L"new ");
    {
        HeldFile held(path);
        app.Click(Command::Save);
        HWND box = app.WaitForMessageBox();
        const std::wstring text = MessageBoxText(box);
        CHECK_EQ(text.substr(0, text.find(L"\r\n\r\n")), L"The file could not be saved:\r\n" + path);
        CHECK(text.size() > text.find(L"\r\n\r\n") + 4);  // and the reason
        PressButton(box, IDOK);
        CHECK_EVENTUALLY(!app.FindMessageBox());
    }
    CHECK_EQ(ReadBytes(path), Bytes("old\r\n"));
    CHECK_EQ(FolderNames(WorkFolder()), std::vector<std::wstring>{L"prog.asm"});  // nothing left beside it
    CHECK_EQ(app.Caption(), path);
    Run(app, Command::Save);  // once the other program lets go, the save works
    CHECK_EQ(ReadBytes(path), Bytes("new old\r\n\r\n"));
}

}  // namespace e2e
