#include "platform/win32/win32_platform.h"

void ThrowWin32(const std::wstring& operation, DWORD code) {
    throw PlatformError(operation, code);
}
