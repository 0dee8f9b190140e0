#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform.h"

void Win32Processes::Start(const std::wstring& path) {
    // CreateProcess may write into the command line, so it gets its own copy;
    // the path is quoted so that blanks in it do not split it.
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        nullptr, &startup, &process))
        ThrowWin32(L"CreateProcess " + path);
    ScopedHandle thread(process.hThread), started(process.hProcess);  // not waited for
}

void Win32Processes::Sleep(unsigned milliseconds) {
    ::Sleep(milliseconds);
}

std::wstring Win32Processes::ShortPath(const std::wstring& path) {
    // A buffer of 301 characters of which the call is told 300, as the build expects.
    std::wstring buffer(301, L' ');
    const DWORD n = GetShortPathNameW(path.c_str(), buffer.data(), 300);
    if (n == 0 || n > 300)
        return {};
    return buffer.substr(0, n);
}
