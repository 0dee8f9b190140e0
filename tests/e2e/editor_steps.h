#pragma once
// Steps of the editing tests: commands that open no window run to their end,
// the editor's selection, the clipboard as another program sees it.
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>

#include "driver/program.h"

namespace e2e {

// Sends a menu command that opens no window; returns once the program has handled it.
inline void Run(const Program& app, Command command) {
    SendTimed(app.MainWindow(), WM_COMMAND, CommandIdOf(command));
}

struct Sel {
    std::size_t start, end;
    bool operator==(const Sel& o) const { return start == o.start && end == o.end; }
};
inline std::string Describe(const Sel& s) {
    return "(" + std::to_string(s.start) + ", " + std::to_string(s.end) + ")";
}
inline void Select(const Program& app, std::size_t start, std::size_t end) {
    SendTimed(app.Editor(), EM_SETSEL, start, LPARAM(end));
}
inline Sel Selection(const Program& app) {
    const auto packed = DWORD(SendTimed(app.Editor(), EM_GETSEL));
    return {LOWORD(packed), HIWORD(packed)};
}

inline void OpenTheClipboard() {  // waits while the program holds it
    if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }))
        Abort("the clipboard stayed held");
}
// The clipboard's Unicode text; none when it holds no text.
inline std::optional<std::wstring> ClipboardText() {
    OpenTheClipboard();
    std::optional<std::wstring> text;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (const auto* chars = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr) {
        text = std::wstring(chars);
        GlobalUnlock(data);
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

}  // namespace e2e
