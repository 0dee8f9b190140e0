// The File and Edit menus of the real program: files on disk byte by byte,
// the real Open/Save dialog and message boxes, the shared clipboard.
#include "driver/registry.h"
#include "editor_steps.h"

namespace e2e {
namespace {

const wchar_t kPrivet[] = L"\u041F\u0440\u0438\u0432\u0435\u0442";  // Привет
const char kPrivetDos[] = "\x8F\xE0\xA8\xA2\xA5\xE2";
const wchar_t kExitQuestion[] = L"Save change to the file before exit?";

std::optional<std::string> Bytes(const std::string& bytes) {
    return bytes;
}

// Answers the open message box, which must show the text, with the button.
void Answer(const Program& app, const std::wstring& text, int button) {
    HWND box = app.WaitForMessageBox();
    CHECK_EQ(MessageBoxText(box), text);
    CHECK_EQ(WindowText(box), L"Korveline");
    PressButton(box, button);
    CHECK_EVENTUALLY(app.FindMessageBox() != box);
}

}  // namespace

E2E_TEST(FileCommands, ACommandLineFileOpensWithItsLinesEndedByCrLfAndCountsAsUnchanged) {
    const std::wstring path = WorkFolder() + L"\\my sources\\hello world.asm";
    const std::string bytes =
        "; \xCF\xF0\xE8\xE2\xE5\xF2\r\nmov ax, 1\rmov bx, 2\nend";  // Привет in Windows-1251
    WriteBytes(path, bytes);
    Program app = Program::Start(path);
    CHECK_EQ(app.Caption(), path);
    CHECK_EQ(app.EditorText(), L"; " + std::wstring(kPrivet) + L"\r\nmov ax, 1\r\nmov bx, 2\nend\r\n");
    app.Close();
    CHECK(app.WaitForExit());
    CHECK_EQ(ReadBytes(path), Bytes(bytes));
    for (const std::wstring& line : {L"\"" + path + L"\"", path + L" /x"}) {  // not one existing path
        Program other = Program::Start(line);
        CHECK_EQ(other.Caption(), L" asm");
        CHECK_EQ(other.EditorText(), L"");
    }
}

E2E_TEST(FileCommands, SaveWritesTheDosCodePageThroughTheDialogAndOpenReadsItBack) {
    Program app = Program::Start();
    app.TypeInEditor(kPrivet);
    app.Click(Command::Save);
    HWND dialog = app.WaitForFileDialog();
    CHECK_EQ(ControlText(dialog, kFileNameBoxId), L"asm1.asm");  // preset with the caption's path
    const std::wstring path = WorkFolder() + L"\\hello.asm";
    ChooseFile(dialog, path);
    CHECK_EVENTUALLY_EQ(app.Caption(), path);
    CHECK_EVENTUALLY_EQ(ReadBytes(path), Bytes(std::string(kPrivetDos) + "\r\n"));
    CHECK_EQ(app.EditorText(), kPrivet);
    Run(app, Command::Undo);  // a save leaves nothing to undo
    CHECK_EQ(app.EditorText(), kPrivet);

    app.Click(Command::Open);
    dialog = app.WaitForFileDialog();
    CHECK_EQ(ControlText(dialog, kFileNameBoxId), L"hello.asm");  // the dialog's previous name
    ChooseFile(dialog, path);
    CHECK_EVENTUALLY_EQ(app.EditorText(), DecodeWindows1251(std::string(kPrivetDos) + "\r\n"));
    app.Close();
    CHECK(app.WaitForExit());  // a file just read counts as unchanged
}

E2E_TEST(FileCommands, ExitAsksOnceByTheMenuAndByTheCloseBoxAndNewAsksItsOwnQuestion) {
    for (bool closeBox : {false, true}) {
        Program app = Program::Start();
        app.TypeInEditor(L"x");
        closeBox ? app.Close() : app.Click(Command::Exit);
        Answer(app, kExitQuestion, IDNO);
        CHECK(app.WaitForExit());  // a second question would keep it running
    }
    const std::wstring path = WorkFolder() + L"\\prog.asm";
    WriteBytes(path, "old\r\n");
    Program app = Program::Start(path);
    app.TypeInEditor(L"new ");
    app.Click(Command::New);
    Answer(app, L"Save change to the following file?", IDNO);
    CHECK_EVENTUALLY_EQ(app.EditorText(), L"");
    app.TypeInEditor(L"again");
    app.Close();
    Answer(app, kExitQuestion, IDYES);
    ChooseFile(app.WaitForFileDialog(), WorkFolder() + L"\\again.asm");  // the cleared document has no name
    CHECK(app.WaitForExit());
    CHECK_EQ(ReadBytes(WorkFolder() + L"\\again.asm"), Bytes("again\r\n"));
    CHECK_EQ(ReadBytes(path), Bytes("old\r\n"));
}

E2E_TEST(FileCommands, AReadOnlyTargetIsRefusedAndAHeldFileIsReportedWithWindowsReason) {
    const std::wstring readOnly = WorkFolder() + L"\\ro.asm", held = WorkFolder() + L"\\held.asm";
    WriteBytes(readOnly, "keep\r\n");
    REQUIRE(SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    WriteBytes(held, "old\r\n");
    Program app = Program::Start(held);
    app.TypeInEditor(L"new ");
    app.Click(Command::SaveAs);
    ChooseFile(app.WaitForFileDialog(), readOnly);
    // The dialog asks whether to replace the existing file; then the program refuses.
    if (MessageBoxText(app.WaitForMessageBox()).find(L"Permission denied") == std::wstring::npos)
        PressButton(app.WaitForMessageBox(), IDYES);
    CHECK_EVENTUALLY_EQ(ShownMessage(app), L"Permission denied. Read only file.");
    CHECK_EQ(WindowText(app.WaitForMessageBox()), L"Read only");
    PressButton(app.WaitForMessageBox(), IDOK);
    CHECK_EVENTUALLY(!app.FindMessageBox());
    CHECK_EQ(ReadBytes(readOnly), Bytes("keep\r\n"));
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
    {
        HeldFile holder(held);
        app.Click(Command::Save);
        const std::wstring text = MessageBoxText(app.WaitForMessageBox());
        CHECK_EQ(text.substr(0, text.find(L"\r\n\r\n")), L"The file could not be saved:\r\n" + held);
        CHECK(text.size() > text.find(L"\r\n\r\n") + 4);  // and Windows' reason
        PressButton(app.WaitForMessageBox(), IDOK);
        CHECK_EVENTUALLY(!app.FindMessageBox());
    }
    CHECK_EQ(ReadBytes(held), Bytes("old\r\n"));
    CHECK_EQ(SortedNoCase(FolderNames(WorkFolder())), (std::vector<std::wstring>{L"held.asm", L"ro.asm"}));
    Run(app, Command::Save);  // once the other program lets go, the save works
    CHECK_EQ(ReadBytes(held), Bytes("new old\r\n\r\n"));
}

// Paths beyond 260 characters come through the command line: Wine's file
// dialog stops answering when one is typed into it.
E2E_TEST(FileCommands, APathLongerThan260CharactersAndNulCharactersOpenAndSaveWhole) {
    std::wstring folder = WorkFolder();
    for (int i = 0; folder.size() <= 280; ++i)
        folder += L"\\" + std::wstring(50, static_cast<wchar_t>(L'a' + i));
    const std::wstring path = folder + L"\\zeros.asm";
    const std::string bytes("db 0\0\0, 1\r\n\0\r\nend\0\r\n", 20);
    WriteBytes(path, bytes);
    Program app = Program::Start(path);
    CHECK_EQ(app.Caption(), path);
    Select(app, 0, 0);
    app.TypeInEditor(L";");
    Run(app, Command::Save);
    CHECK(!app.FindMessageBox());
    CHECK_EQ(ReadBytes(path), Bytes(";" + bytes + "\r\n"));
}

E2E_TEST(EditCommands, CutCopyPasteDeleteSelectAllAndUndoWorkOnTheSharedClipboard) {
    Program app = Program::Start();
    app.TypeInEditor(L"mov ax, bx");
    Select(app, 4, 6);
    SetClipboard(L"sentinel");
    Run(app, Command::Cut);
    CHECK_EQ(ClipboardText(), std::optional<std::wstring>(L"ax"));
    CHECK_EQ(app.EditorText(), L"mov , bx");
    Run(app, Command::Undo);
    CHECK_EQ(app.EditorText(), L"mov ax, bx");
    SetClipboard(kPrivet);  // Cyrillic both ways
    Select(app, 0, 3);
    Run(app, Command::Paste);
    CHECK_EQ(app.EditorText(), std::wstring(kPrivet) + L" ax, bx");
    Select(app, 0, 6);
    SetClipboard(L"sentinel");
    Run(app, Command::Copy);
    CHECK_EQ(ClipboardText(), std::optional<std::wstring>(kPrivet));
    SetClipboard(std::nullopt);
    Select(app, 0, 7);
    Run(app, Command::Paste);  // no text on the clipboard: the selection goes
    CHECK_EQ(app.EditorText(), L"ax, bx");
    Select(app, 0, 1);
    Run(app, Command::Delete);
    CHECK_EQ(ClipboardText(), std::optional<std::wstring>());
    Run(app, Command::SelectAll);
    CHECK_EQ(Selection(app), (Sel{0, 5}));
    app.Close();  // the edits count as changes
    Answer(app, kExitQuestion, IDNO);
    CHECK(app.WaitForExit());
}

}  // namespace e2e
