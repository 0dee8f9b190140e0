#include "bench_common.h"

#include <cstdarg>
#include <cstdio>

#include "codepage/cp1251.h"
#include "codepage/recode.h"

namespace {

FILE* logFile = nullptr;

struct Search {
    DWORD pid;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchTopWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    if (pid == search->pid && _wcsicmp(name, search->className) == 0 && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

void OpenLog(const wchar_t* path) {
    logFile = _wfopen(path, L"w");
}

void CloseLog() {
    if (logFile)
        fclose(logFile);
    logFile = nullptr;
}

void Say(const wchar_t* format, ...) {
    wchar_t line[1024];
    va_list args;
    va_start(args, format);
    vswprintf(line, 1024, format, args);
    va_end(args);
    fputws(line, stdout);
    fflush(stdout);
    if (logFile) {
        fputws(line, logFile);
        fflush(logFile);
    }
}

double Seconds() {
    static LARGE_INTEGER frequency{};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string MakeSource(std::size_t bytes) {
    const std::wstring comment =
        L"\u043F\u0435\u0440\u0435\u043D\u043E\u0441 \u0441\u0442\u0440\u043E\u043A\u0438";
    const std::string dosComment = EncodeCp1251(WinToDos(comment));
    std::string text;
    text.reserve(bytes + 128);
    for (int n = 0; text.size() < bytes; ++n) {
        text += "label" + std::to_string(n) + ":  mov     ax, [bx+si+" + std::to_string(n % 97) + "]   ; " +
                dosComment + "\r\n";
    }
    return text;
}

HWND FindShown(DWORD pid, const wchar_t* className) {
    Search search{pid, className, nullptr};
    EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(DWORD pid, const wchar_t* className, double seconds) {
    const double deadline = Seconds() + seconds;
    do {
        if (HWND found = FindShown(pid, className))
            return found;
        Sleep(20);
    } while (Seconds() < deadline);
    return nullptr;
}

HWND FindEdit(HWND parent) {
    for (HWND child = FindWindowExW(parent, nullptr, nullptr, nullptr); child;
         child = FindWindowExW(parent, child, nullptr, nullptr)) {
        wchar_t name[64] = L"";
        GetClassNameW(child, name, 64);
        if (_wcsicmp(name, L"Edit") == 0 || _wcsicmp(name, L"KorvelineTextView") == 0)
            return child;
        if (HWND inner = FindEdit(child))
            return inner;
    }
    return nullptr;
}

LRESULT TextLength(HWND window, UINT timeoutMs) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, timeoutMs, &length))
        return -1;
    return static_cast<LRESULT>(length);
}
