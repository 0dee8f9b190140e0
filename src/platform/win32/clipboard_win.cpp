#include <cstring>

#include "platform/win32/win32_platform.h"

namespace {

class OpenedClipboard {
  public:
    explicit OpenedClipboard(HWND owner) {
        WithShortRetry([&] {
            if (!OpenClipboard(owner))
                ThrowWin32(L"OpenClipboard", ERROR_CLIPBOARD_NOT_OPEN);
        });
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    ~OpenedClipboard() { CloseClipboard(); }
};

}  // namespace

void Win32Clipboard::SetText(const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory)
        ThrowWin32(L"GlobalAlloc");
    void* target = GlobalLock(memory);
    std::memcpy(target, text.c_str(), bytes);
    GlobalUnlock(memory);
    OpenedClipboard clipboard(owner_);
    if (!EmptyClipboard() || !SetClipboardData(CF_UNICODETEXT, memory)) {
        const DWORD error = GetLastError();
        GlobalFree(memory);
        ThrowWin32(L"SetClipboardData", error);
    }
}

std::wstring Win32Clipboard::GetText() {
    OpenedClipboard clipboard(owner_);
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data)
        return {};
    const auto* text = static_cast<const wchar_t*>(GlobalLock(data));
    if (!text)
        return {};
    std::wstring result(text, wcsnlen(text, GlobalSize(data) / sizeof(wchar_t)));
    GlobalUnlock(data);
    return result;
}
