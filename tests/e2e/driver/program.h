#pragma once
// The real program, started under Wine and worked as a user would (see ../README.md).
#include <windows.h>

#include <string>
#include <vector>

#include "app/menu_table.h"
#include "driver/e2e.h"
#include "driver/environment.h"

namespace e2e {

inline const wchar_t kSplashClass[] = L"KorvelineBoot";
inline const wchar_t kMainClass[] = L"KorvelineMain";
inline const wchar_t kEditorClass[] = L"KorvelineTextView";  // answers the edit control's messages
inline const wchar_t kDialogClass[] = L"#32770";             // message boxes, the Open/Save dialogs
constexpr int kMessageTextId = 0xFFFF;                       // a message box's text
constexpr int kFileNameBoxId = 0x47c;                        // the Open/Save dialog's file-name box

struct MenuItem {
    int id = 0;
    std::wstring text;  // "&New Project\tCtrl+N"
    bool separator = false, grayed = false, checked = false;
};
struct MenuPopup {
    std::wstring caption;
    std::vector<MenuItem> items;
};
// The menu bar as the program's window held it when read.
struct MenuBar {
    std::vector<MenuPopup> popups;
    const MenuItem& Item(Command command) const;  // ends the test when the menu has none
};

int ScreenDpi();
inline int Px(int twips) {  // rounded as the program rounds
    return (twips * ScreenDpi() + 720) / 1440;
}

// A message to a window of another process; ends the test when it is not answered within 20 s.
LRESULT SendTimed(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
std::wstring WindowText(HWND window);
std::wstring ControlText(HWND dialog, int controlId);
inline std::wstring MessageBoxText(HWND box) {
    return ControlText(box, kMessageTextId);
}
// Presses a button of a dialog or message box (IDOK, IDYES ...), posted as its click.
void PressButton(HWND dialog, int buttonId);
// Types the path into the Open/Save dialog's file-name box and presses OK.
void ChooseFile(HWND dialog, const std::wstring& path);

class Program {
  public:
    // Starts the program; `arguments` is the command line after its quoted path, exactly as given.
    static Program Start(const std::wstring& arguments = L"", const std::wstring& exe = ProgramPath());
    // The program someone else started (the shell): waits for its shown window and owns its process.
    static Program AttachToStarted(const wchar_t* className = kMainClass, Ms timeout = kStartTimeout);
    Program(const Program&) = delete;
    ~Program();  // ends the program if it still runs, and every process it started

    DWORD ProcessId() const { return pid_; }
    bool WaitForExit(Ms timeout = kStateTimeout) const;  // for the process to end by itself

    // A top-level window of the program by class, visible or not; nullptr if none.
    HWND FindWindowOfClass(const wchar_t* className) const { return FindTopWindow(className, nullptr); }
    // Waits for a shown (so loaded) window of the class; ends the test when none comes.
    HWND WaitForWindow(const wchar_t* className, Ms timeout = kStartTimeout) const;
    HWND MainWindow() const { return WaitForWindow(kMainClass); }
    std::wstring Caption() const { return WindowText(MainWindow()); }
    HWND Editor() const;
    std::wstring EditorText() const { return WindowText(Editor()); }
    // Types at the caret as the user would (EM_REPLACESEL): undoable, reported as a change.
    void TypeInEditor(const std::wstring& text) const;

    MenuBar Menu() const;  // read from inside the program
    // Posts the item's WM_COMMAND as the menu does: returns at once, also when a modal window opens.
    void Click(Command command) const;

    HWND FindMessageBox() const;  // any open message box, or nullptr
    HWND WaitForMessageBox(Ms timeout = kStateTimeout) const;
    HWND WaitForFileDialog(Ms timeout = kStartTimeout) const;  // an Open or Save dialog; the first is slow
    void Close() const { PostMessageW(MainWindow(), WM_CLOSE, 0, 0); }  // as the close box does

  private:
    Program(HANDLE process, DWORD pid, HANDLE job) : process_(process), pid_(pid), job_(job) {}
    // The first top-level window of the program with the class that passes the test.
    HWND FindTopWindow(const wchar_t* className, bool (*accept)(HWND)) const;
    HANDLE process_;
    DWORD pid_;
    HANDLE job_;                    // the program and everything it starts
    mutable HHOOK hook_ = nullptr;  // the menu probe, and the memory it answers in
    mutable HANDLE memory_ = nullptr;
    mutable void* answer_ = nullptr;
};

}  // namespace e2e
