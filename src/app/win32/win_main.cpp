// Program entry: the splash window is the start-up window; everything else
// follows from its timer.
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "app/command_table.h"
#include "app/win32/frm_boot.h"
#include "app/win32/frm_main.h"
#include "platform/win32/win32_platform.h"

namespace {

bool KeyDown(int key) {
    return GetKeyState(key) < 0;
}

// A key of the Edit menu (Ctrl+C, Ctrl+V ...) typed into a text box, such as
// Find's, edits that box and not the document.
bool EditsTextBox(const MSG& msg) {
    wchar_t className[8] = {};
    if (!GetClassNameW(msg.hwnd, className, 8) || lstrcmpiW(className, L"Edit") != 0)
        return false;
    const unsigned modifiers = (KeyDown(VK_CONTROL) ? kCtrl : 0u) | (KeyDown(VK_SHIFT) ? kShift : 0u);
    for (const MenuEntry& e : kMenuEntries)
        if (std::wstring(kTopMenus[e.menu].name) == L"mnuEdit" && e.shortcut.key == msg.wParam &&
            e.shortcut.modifiers == modifiers)
            return true;
    return false;
}

// A key typed in a tool window of the main window (Build results, Find) goes
// through the main window's accelerators (its menu's shortcuts and the
// editor's keys, F3 ...), but not while a dialog holds the main window
// disabled.
bool ToMainWindow(MSG& msg, const FrmMain& main) {
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    return GetWindow(root, GW_OWNER) == main.Hwnd() && IsWindowEnabled(main.Hwnd()) && !EditsTextBox(msg) &&
           TranslateAcceleratorW(main.Hwnd(), main.Accelerators(), &msg);
}

// Keyboard messages of the main window and its editor go through the menu's
// accelerators; those of the program's other windows through dialog
// navigation, so Tab moves between their controls.
bool PreTranslate(MSG& msg, const FrmMain* main) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST)
        return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (!root)
        return false;
    if (main && root == main->Hwnd())
        return TranslateAcceleratorW(root, main->Accelerators(), &msg) != 0;
    DWORD pid = 0;
    GetWindowThreadProcessId(root, &pid);
    if (pid != GetCurrentProcessId())
        return false;
    return (main && ToMainWindow(msg, *main)) || IsDialogMessageW(root, &msg) != 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    Win32Registry registry;
    Win32FileSystem files;
    Win32FileDialogs fileDialogs;
    Win32MessageBoxes messages;
    Win32Processes processes;
    Win32Clipboard clipboard;
    Win32System system;
    Platform platform{registry, files, fileDialogs, messages, processes, clipboard, system};
    RegShell regShell(registry);
    SharedSettings settings;
    UserSettings user(registry);
    ProgramContext program{platform, regShell, settings, user};

    std::unique_ptr<FrmMain> main;
    FrmBoot boot([&] {
        main = std::make_unique<FrmMain>(program);
        main->Show();
    });
    boot.Show();

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (PreTranslate(msg, main.get()))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
