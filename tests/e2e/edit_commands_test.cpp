// The Edit menu of the real program, with the clipboard read and written by
// another program (this driver).
#include "editor_steps.h"

namespace e2e {

E2E_TEST(EditCommands, CutCopyPasteDeleteSelectAllAndUndoWorkOnTheSharedClipboard) {
    Program app = Program::Start();
    Run(app, Command::SelectAll);  // an empty editor: an empty selection at 0
    CHECK_EQ(Selection(app), (Sel{0, 0}));

    app.TypeInEditor(L"mov ax, bx");
    Select(app, 4, 6);
    SetClipboard(L"sentinel");
    Run(app, Command::Copy);
    CHECK_EQ(ClipboardText(), std::optional<std::wstring>(L"ax"));
    CHECK_EQ(app.EditorText(), L"mov ax, bx");

    SetClipboard(L"sentinel");
    Run(app, Command::Cut);
    CHECK_EQ(ClipboardText(), std::optional<std::wstring>(L"ax"));
    CHECK_EQ(app.EditorText(), L"mov , bx");
    Run(app, Command::Undo);
    CHECK_EQ(app.EditorText(), L"mov ax, bx");
    Run(app, Command::Undo);  // the control's one step: a second Undo undoes the first
    CHECK_EQ(app.EditorText(), L"mov , bx");
    Run(app, Command::Undo);

    // Cyrillic both ways through the clipboard.
    SetClipboard(L"\u041F\u0440\u0438\u0432\u0435\u0442");
    Select(app, 0, 3);
    Run(app, Command::Paste);
    CHECK_EQ(app.EditorText(), L"\u041F\u0440\u0438\u0432\u0435\u0442 ax, bx");
    Select(app, 0, 6);
    SetClipboard(L"sentinel");
    Run(app, Command::Copy);
    CHECK_EQ(ClipboardText(), std::optional<std::wstring>(L"\u041F\u0440\u0438\u0432\u0435\u0442"));

    SetClipboard(L"kept");
    Select(app, 0, 7);
    Run(app, Command::Delete);
    CHECK_EQ(app.EditorText(), L"ax, bx");
    CHECK_EQ(ClipboardText(), std::optional<std::wstring>(L"kept"));

    Run(app, Command::SelectAll);
    CHECK_EQ(Selection(app), (Sel{0, 6}));
}

E2E_TEST(EditCommands, NothingSelectedOrNothingOnTheClipboard) {
    Program app = Program::Start();
    app.TypeInEditor(L"mov ax, bx");
    Select(app, 3, 3);
    SetClipboard(L"sentinel");
    Run(app, Command::Copy);  // the empty string becomes the clipboard's text
    CHECK_EQ(ClipboardText(), std::optional<std::wstring>(L""));
    SetClipboard(L"sentinel");
    Run(app, Command::Cut);
    CHECK_EQ(ClipboardText(), std::optional<std::wstring>(L""));
    CHECK_EQ(app.EditorText(), L"mov ax, bx");

    SetClipboard(std::nullopt);
    Select(app, 3, 7);
    Run(app, Command::Paste);  // no text: the selection goes
    CHECK_EQ(app.EditorText(), L"mov bx");

    SetClipboard(L" cx,");
    Select(app, 3, 3);
    Run(app, Command::Paste);  // inserted at the caret
    CHECK_EQ(app.EditorText(), L"mov cx, bx");

    app.Close();  // the edits count as changes
    HWND box = app.WaitForMessageBox();
    CHECK_EQ(MessageBoxText(box), L"Save change to the file before exit?");
    PressButton(box, IDNO);
    CHECK(app.WaitForExit());
}

}  // namespace e2e
