// The program the stand-in linker writes: started, it leaves the file
// "<its own path>.ran" holding its command line (UTF-16), so a test can see
// that it ran, and ends. Kept free of the C++ library so that it stays small.
#include <windows.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t marker[MAX_PATH + 8];
    const DWORD n = GetModuleFileNameW(nullptr, marker, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 1;
    wcscpy(marker + n, L".ran");
    HANDLE file =
        CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    const wchar_t* commandLine = GetCommandLineW();
    DWORD written = 0;
    WriteFile(file, commandLine, static_cast<DWORD>(wcslen(commandLine) * sizeof(wchar_t)), &written,
              nullptr);
    CloseHandle(file);
    return 0;
}
