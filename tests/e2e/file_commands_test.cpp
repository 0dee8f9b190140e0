// The File and Edit menus of the real program: files on disk byte by byte,
// the real Open/Save dialog and message boxes, the shared clipboard.
#include "editor_steps.h"

namespace e2e {
namespace {

const wchar_t kPrivet[] = L"\u041F\u0440\u0438\u0432\u0435\u0442";  // Привет
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

// Paths beyond 260 characters come through the command line: Wine's file
// dialog stops answering when one is typed into it.
E2E_TEST(FileCommands, ACommandLineFileOfALongPathWithNulCharactersOpensAndSavesWhole) {
    std::wstring folder = WorkFolder() + L"\\my sources";
    for (int i = 0; folder.size() <= 280; ++i)
        folder += L"\\" + std::wstring(50, static_cast<wchar_t>(L'a' + i));
    const std::wstring path = folder + L"\\hello world.asm";
    const std::string nul(1, '\0'), privet = "\xCF\xF0\xE8\xE2\xE5\xF2";  // Привет in Windows-1251
    WriteBytes(path, "; " + privet + "\r\ndb 0" + nul + ", 1\rend" + nul + "\r\n");
    Program app = Program::Start(path);
    CHECK_EQ(app.Caption(), path);
    Select(app, 0, 0);
    app.TypeInEditor(L";");
    Run(app, Command::Save);
    CHECK(!app.FindMessageBox());
    // Read as Windows-1251 with every line ended by CR LF, written in the DOS code page with one more line
    // end.
    CHECK_EQ(ReadBytes(path),
             Bytes(";; \x8F\xE0\xA8\xA2\xA5\xE2\r\ndb 0" + nul + ", 1\r\nend" + nul + "\r\n\r\n"));
}

E2E_TEST(FileCommands, SaveWritesTheDosCodePageThroughTheDialogAndOpenReadsAFile) {
    Program app = Program::Start();
    app.TypeInEditor(kPrivet);
    app.Click(Command::Save);
    HWND dialog = app.WaitForFileDialog();
    CHECK_EQ(ControlText(dialog, kFileNameBoxId), L"asm1.asm");  // preset with the caption's path
    const std::wstring path = WorkFolder() + L"\\hello.asm", other = WorkFolder() + L"\\other.asm";
    ChooseFile(dialog, path);
    CHECK_EVENTUALLY_EQ(app.Caption(), path);
    CHECK_EVENTUALLY_EQ(ReadBytes(path), Bytes("\x8F\xE0\xA8\xA2\xA5\xE2\r\n"));
    CHECK_EQ(app.EditorText(), kPrivet);

    WriteBytes(other, "nop\r\n");
    app.Click(Command::Open);
    dialog = app.WaitForFileDialog();
    CHECK_EQ(ControlText(dialog, kFileNameBoxId), L"hello.asm");  // the dialog's previous name
    ChooseFile(dialog, other);
    CHECK_EVENTUALLY_EQ(app.EditorText(), L"nop\r\n");
    CHECK_EQ(app.Caption(), other);
    app.Close();
    CHECK(app.WaitForExit());  // a file just read counts as unchanged
}

E2E_TEST(FileCommands, ExitAsksOnceByTheMenuAndByTheCloseBoxAndYesSavesThroughTheDialog) {
    for (bool closeBox : {false, true}) {
        Program app = Program::Start();
        app.TypeInEditor(L"x");
        closeBox ? app.Close() : app.Click(Command::Exit);
        Answer(app, kExitQuestion, closeBox ? IDYES : IDNO);
        if (closeBox)
            ChooseFile(app.WaitForFileDialog(), WorkFolder() + L"\\x.asm");
        CHECK(app.WaitForExit());  // a second question would keep it running
    }
    CHECK_EQ(ReadBytes(WorkFolder() + L"\\x.asm"), Bytes("x\r\n"));
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
    Select(app, 0, 7);
    Run(app, Command::Delete);
    CHECK_EQ(app.EditorText(), L"ax, bx");
    CHECK_EQ(ClipboardText(), std::optional<std::wstring>(kPrivet));
    Run(app, Command::SelectAll);
    CHECK_EQ(Selection(app), (Sel{0, 6}));
}

}  // namespace e2e
