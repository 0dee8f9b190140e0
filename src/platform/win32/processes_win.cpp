#include <memory>

#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform.h"

namespace {

// Starts the path in a normal window that takes the focus, with a console of
// its own; the caller owns the handles it gets back.
PROCESS_INFORMATION StartProcess(const std::wstring& path,
                                 const std::wstring& arguments = {},
                                 const std::wstring& folder = {}) {
    // CreateProcess may write into the command line, so it gets its own copy;
    // the path is quoted so that blanks in it do not split it.
    std::wstring commandLine = L"\"" + path + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        ThrowWin32(L"CreateProcess " + path);
    return process;
}

struct Watch {
    HANDLE process;
    Processes::Ended onEnded;
};

// A thread of its own per watched process: it only waits, so nothing else
// (the window's thread least of all) is held up by a script that runs long.
DWORD WINAPI WaitForEnd(void* parameter) {
    std::unique_ptr<Watch> watch(static_cast<Watch*>(parameter));
    WaitForSingleObject(watch->process, INFINITE);
    FILETIME created{}, exited{}, kernel{}, user{};
    std::uint64_t startedAt = 0;
    if (GetProcessTimes(watch->process, &created, &exited, &kernel, &user))
        startedAt = (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    CloseHandle(watch->process);
    watch->onEnded(startedAt);
    return 0;
}

}  // namespace

void Win32Processes::Start(const std::wstring& path) {
    const PROCESS_INFORMATION process = StartProcess(path);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

void Win32Processes::StartAndWatch(const std::wstring& path, Ended onEnded) {
    const PROCESS_INFORMATION process = StartProcess(path);
    CloseHandle(process.hThread);
    auto watch = std::make_unique<Watch>(Watch{process.hProcess, std::move(onEnded)});
    HANDLE thread =
        CreateThread(nullptr, 64 * 1024, WaitForEnd, watch.get(), STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!thread) {
        // The script runs all the same; only its end goes unnoticed.
        CloseHandle(process.hProcess);
        return;
    }
    watch.release();
    CloseHandle(thread);
}

void Win32Processes::StartIn(const std::wstring& program,
                             const std::wstring& arguments,
                             const std::wstring& folder) {
    const PROCESS_INFORMATION process = StartProcess(program, arguments, folder);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
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
