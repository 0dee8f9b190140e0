#pragma once
// Steps shared by the tests of the File and Edit menus: commands that open no
// window, run to their end; the editor's selection; the clipboard as another
// program sees it; a file held open by another program; Windows' error texts.
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "driver/program.h"

namespace e2e {

// Sends a menu command that opens no window and returns once the program has handled it.
inline void Run(const Program& app, Command command) {
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(app.MainWindow(), WM_COMMAND, CommandIdOf(command), 0, SMTO_ABORTIFHUNG, 10000,
                             &ignored))
        Abort("the program did not finish command " + std::to_string(CommandIdOf(command)) + " in time");
}

inline void Select(const Program& app, std::size_t start, std::size_t end) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(app.Editor(), EM_SETSEL, start, end, SMTO_ABORTIFHUNG, 5000, &ignored);
}

// The editor's selection.
struct Sel {
    std::size_t start, end;
    bool operator==(const Sel& other) const { return start == other.start && end == other.end; }
};
inline std::string Describe(const Sel& selection) {
    return "(" + std::to_string(selection.start) + ", " + std::to_string(selection.end) + ")";
}
inline Sel Selection(const Program& app) {
    DWORD_PTR packed = 0;
    SendMessageTimeoutW(app.Editor(), EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &packed);
    return {LOWORD(packed), HIWORD(packed)};
}

// Opens the clipboard, waiting while the program holds it.
inline void OpenTheClipboard() {
    if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }))
        Abort("the clipboard stayed held");
}

// The clipboard's Unicode text; none when it holds no text.
inline std::optional<std::wstring> ClipboardText() {
    OpenTheClipboard();
    std::optional<std::wstring> text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = std::wstring(chars);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// Puts text on the clipboard as another program would; none empties it.
inline void SetClipboard(const std::optional<std::wstring>& text) {
    OpenTheClipboard();
    EmptyClipboard();
    if (text) {
        const std::size_t size = (text->size() + 1) * sizeof(wchar_t);
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
        std::memcpy(GlobalLock(memory), text->c_str(), size);
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_UNICODETEXT, memory))
            GlobalFree(memory);
    }
    CloseClipboard();
}

// The text of the program's message box now; empty when none is open (or it closed while read).
inline std::wstring ShownMessage(const Program& app) {
    HWND box = app.FindMessageBox();
    wchar_t buffer[1024] = {};
    DWORD_PTR got = 0;
    return box && SendMessageTimeoutW(GetDlgItem(box, kMessageTextId), WM_GETTEXT, 1024,
                                      reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000, &got)
               ? std::wstring(buffer, got)
               : std::wstring();
}

// Another program holding a file open without sharing it, while in scope.
class HeldFile {
  public:
    explicit HeldFile(const std::wstring& path)
        : handle_(CreateFileW(path.c_str(),
                              GENERIC_READ | GENERIC_WRITE,
                              0,
                              nullptr,
                              OPEN_EXISTING,
                              0,
                              nullptr)) {
        if (handle_ == INVALID_HANDLE_VALUE)
            Abort("cannot hold " + Utf8(path));
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    ~HeldFile() { CloseHandle(handle_); }

  private:
    HANDLE handle_;
};

// Windows' own wording of an error code, as the program shows it.
inline std::wstring SystemErrorText(DWORD code) {
    wchar_t* text = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring reason = text ? text : L"";
    LocalFree(text);
    return reason.substr(0, reason.find_last_not_of(L"\r\n ") + 1);
}

// The names in a folder.
inline std::vector<std::wstring> FolderNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &found);
    for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileW(h, &found))
        if (std::wstring(found.cFileName) != L"." && std::wstring(found.cFileName) != L"..")
            names.push_back(found.cFileName);
    if (h != INVALID_HANDLE_VALUE)
        FindClose(h);
    return names;
}

}  // namespace e2e
