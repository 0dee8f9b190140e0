#pragma once
// The real program, started under Wine and worked as a user would (see ../README.md).
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/menu_table.h"
#include "driver/e2e.h"
#include "driver/environment.h"

namespace e2e {

// Window classes of the program.
inline const wchar_t kSplashClass[] = L"KorvelineBoot";
inline const wchar_t kMainClass[] = L"KorvelineMain";
// The editor txtCode: the program's own text view, which answers the edit control's messages.
inline const wchar_t kEditorClass[] = L"KorvelineTextView";
// Message boxes and the Open/Save dialogs.
inline const wchar_t kDialogClass[] = L"#32770";
constexpr int kMessageTextId = 0xFFFF;  // a message box's text
constexpr int kFileNameBoxId = 0x47c;   // the Open/Save dialog's file-name box

struct MenuItem {
    int id = 0;
    std::wstring text;  // "&New Project\tCtrl+N"
    bool separator = false;
    bool grayed = false;
    bool checked = false;
    std::wstring Caption() const;   // the text before the tab
    std::wstring Shortcut() const;  // the text after the tab
};

struct MenuPopup {
    std::wstring caption;
    std::vector<MenuItem> items;
};

// The menu bar as the program's window holds it at the moment it was read.
struct MenuBar {
    std::vector<MenuPopup> popups;
    // The item of a command; ends the test when the menu has none.
    const MenuItem& Item(Command command) const;
};

class Program {
  public:
    // Starts the program; `arguments` is the command line after its quoted path, exactly as given.
    static Program Start(const std::wstring& arguments = L"", const std::wstring& exe = ProgramPath());
    // The program someone else started (the shell): waits for its shown window and owns its process.
    static Program AttachToStarted(const wchar_t* className = kMainClass, Ms timeout = kStartTimeout);
    Program(Program&&) noexcept;
    Program& operator=(Program&&) = delete;
    // Ends the program if it still runs, and every process it started.
    ~Program();

    DWORD ProcessId() const;
    bool Running() const;
    // Waits for the process to end by itself.
    bool WaitForExit(Ms timeout = kStateTimeout) const;

    // Top-level windows of the program by class (visible or not); nullptr if none.
    HWND FindWindowOfClass(const wchar_t* className) const;
    // Waits for a shown (so loaded) window of the class; ends the test when none comes.
    HWND WaitForWindow(const wchar_t* className, Ms timeout = kStartTimeout) const;
    // The main window, waited for; its caption; its editor txtCode and the editor's text.
    HWND MainWindow() const;
    std::wstring Caption() const;
    HWND Editor() const;
    std::wstring EditorText() const;

    // Types at the caret as the user would (EM_REPLACESEL): undoable, reported as a change.
    void TypeInEditor(const std::wstring& text) const;

    // The menu bar, read from inside the program.
    MenuBar Menu() const;
    // Posts the item's WM_COMMAND, as the menu does: a command that opens a modal window returns at once.
    void Click(Command command) const;

    // A message box (a dialog with a text control), waited for; ends the test when none comes.
    HWND WaitForMessageBox(Ms timeout = kStateTimeout) const;
    // Any open message box, or nullptr.
    HWND FindMessageBox() const;
    // An Open or Save dialog of the program. Ends the test when none comes.
    HWND WaitForFileDialog(Ms timeout = kStartTimeout) const;  // the first one in a prefix is slow to come

    // Closes the main window as its close box does.
    void Close() const;

  private:
    Program() = default;
    struct Probe;
    PROCESS_INFORMATION process_{};
    HANDLE job_ = nullptr;                  // the program and everything it starts
    mutable std::unique_ptr<Probe> probe_;  // hooked in on the first reading of the menu
};

// Reading and working windows of any process.
std::wstring WindowText(HWND window);
std::wstring ClassOf(HWND window);
std::wstring MessageBoxText(HWND box);
// Presses a button of a dialog or message box (IDOK, IDYES, IDNO ...).
void PressButton(HWND dialog, int buttonId);
// Types the path into the Open/Save dialog's file-name box and presses its OK button.
void ChooseFile(HWND dialog, const std::wstring& path);
// A control's text, or the text of its edit box when the control is a combo box.
std::wstring ControlText(HWND dialog, int controlId);

}  // namespace e2e
