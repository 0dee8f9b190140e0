#include "platform/win32/win32_platform.h"

int Win32MessageBoxes::Show(const std::wstring& text, unsigned style, const std::wstring& title) {
    const std::wstring caption = title.empty() ? kProgramTitle : title;
    return MessageBoxW(GetActiveWindow(), text.c_str(), caption.c_str(), style);
}
