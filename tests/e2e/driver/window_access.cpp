// Reading and working the windows of another process: text, class, buttons,
// the file-name box of the Open/Save dialog.
#include <windows.h>

#include "driver/program.h"

namespace e2e {

namespace {

// Cross-process messages time out rather than hang the driver on a program
// that stopped answering.
constexpr UINT kSendTimeoutMs = 5000;

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
        Abort("window " + std::to_string(reinterpret_cast<std::uintptr_t>(window)) +
              " did not answer message " + std::to_string(message));
    return static_cast<LRESULT>(result);
}

}  // namespace

std::wstring WindowText(HWND window) {
    const LRESULT length = Send(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT got = Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring MessageBoxText(HWND box) {
    HWND text = GetDlgItem(box, kMessageTextId);
    return text ? WindowText(text) : std::wstring();
}

std::wstring ControlText(HWND dialog, int controlId) {
    HWND control = GetDlgItem(dialog, controlId);
    if (!control)
        Abort("the dialog has no control " + std::to_string(controlId));
    return WindowText(control);
}

void PressButton(HWND dialog, int buttonId) {
    HWND button = GetDlgItem(dialog, buttonId);
    if (!button)
        Abort("the dialog has no button " + std::to_string(buttonId));
    // Posted as the button's own click notification: the dialog may run a
    // modal loop (or close) in answer, which must not block the driver.
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void ChooseFile(HWND dialog, const std::wstring& path) {
    HWND box = GetDlgItem(dialog, kFileNameBoxId);
    if (!box)
        Abort("the file dialog has no file-name box");
    // The box is a combo box; its edit control takes the typed path.
    HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr);
    Send(edit ? edit : box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    if (!WaitUntil([&] { return WindowText(edit ? edit : box) == path; }))
        Abort("the file-name box did not take " + Utf8(path));
    PressButton(dialog, IDOK);
}

}  // namespace e2e
