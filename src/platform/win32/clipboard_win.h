#pragma once
// The clipboard's Unicode text, for every window of the program: one path,
// opened with a short retry while another program holds it. A clipboard
// that stays busy, or memory that cannot be had, throws PlatformError.
#include <windows.h>

#include <optional>
#include <string>

// Puts the text on the clipboard as CF_UNICODETEXT, owned by the window.
void WriteClipboardText(HWND owner, const std::wstring& text);

// The clipboard's text (Windows converts the other text formats to
// Unicode); no value when the clipboard holds no text.
std::optional<std::wstring> ReadClipboardText(HWND owner);
