#include "platform/win32/clipboard_win.h"

#include <cstring>

#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform.h"

void WriteClipboardText(HWND owner, const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    ScopedGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory.Get())
        ThrowWin32(L"GlobalAlloc");
    void* target = GlobalLock(memory.Get());
    if (!target)
        ThrowWin32(L"GlobalLock");
    std::memcpy(target, text.c_str(), bytes);
    GlobalUnlock(memory.Get());
    ScopedClipboard clipboard(owner);
    if (!EmptyClipboard() || !SetClipboardData(CF_UNICODETEXT, memory.Get()))
        ThrowWin32(L"SetClipboardData");
    memory.Release();  // the clipboard owns it now
}

std::optional<std::wstring> ReadClipboardText(HWND owner) {
    ScopedClipboard clipboard(owner);
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data)
        return std::nullopt;
    const auto* text = static_cast<const wchar_t*>(GlobalLock(data));
    if (!text)
        return std::nullopt;
    std::wstring result(text, wcsnlen(text, GlobalSize(data) / sizeof(wchar_t)));
    GlobalUnlock(data);
    return result;
}

void Win32Clipboard::SetText(const std::wstring& text) {
    WriteClipboardText(owner_, text);
}

std::wstring Win32Clipboard::GetText() {
    return ReadClipboardText(owner_).value_or(std::wstring());
}
