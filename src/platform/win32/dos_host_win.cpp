#include "platform/win32/dos_host_win.h"

#include <chrono>

#include "platform/win32/win32_platform.h"

namespace {

// Wine's own exports; absent on Windows.
using WineGetVersion = const char*(CDECL*)();
using WineGetUnixFileName = char*(CDECL*)(const wchar_t*);
using WineGetDosFileName = wchar_t*(CDECL*)(const char*);

template <class Function>
Function WineExport(const wchar_t* module, const char* name) {
    HMODULE handle = GetModuleHandleW(module);
    return handle ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(handle, name)))
                  : nullptr;
}

bool UnderWine() {
    return WineExport<WineGetVersion>(L"ntdll.dll", "wine_get_version") != nullptr;
}

// A session that never ends (its window closed before the script did) is
// given up after this long.
constexpr auto kLongestWatch = std::chrono::minutes(30);
constexpr DWORD kPollMs = 100;

}  // namespace

Win32DosHost::Win32DosHost() : stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

Win32DosHost::~Win32DosHost() {
    StopWatching();
    CloseHandle(stop_);
}

bool Win32DosHost::StartsDosPrograms() {
    if (UnderWine())
        return false;
#ifdef _WIN64
    return false;
#else
    BOOL wow64 = FALSE;
    return !(IsWow64Process(GetCurrentProcess(), &wow64) && wow64);
#endif
}

std::wstring Win32DosHost::HostRoot() {
    auto dosFileName = WineExport<WineGetDosFileName>(L"kernel32.dll", "wine_get_dos_file_name");
    if (!UnderWine() || !dosFileName)
        return {};
    wchar_t* root = dosFileName("/");
    if (!root)
        return {};
    std::wstring path = root;
    HeapFree(GetProcessHeap(), 0, root);
    // Only a drive ("Z:\\"): a prefix without one has hidden the host on purpose.
    return path.size() == 3 && path[1] == L':' ? path : std::wstring();
}

std::wstring Win32DosHost::HostFolderOfDrive(wchar_t drive) {
    const std::wstring root = std::wstring(1, drive) + L":\\";
    if (!UnderWine())
        return GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES ? std::wstring() : root;
    auto unixFileName = WineExport<WineGetUnixFileName>(L"kernel32.dll", "wine_get_unix_file_name");
    char* unixPath = unixFileName ? unixFileName(root.c_str()) : nullptr;
    if (!unixPath)
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, unixPath, -1, nullptr, 0);
    std::wstring folder(n > 0 ? n - 1 : 0, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, unixPath, -1, folder.data(), n);
    HeapFree(GetProcessHeap(), 0, unixPath);
    if (!folder.empty() && folder.back() != L'/')
        folder += L'/';
    return folder;
}

void Win32DosHost::Start(const std::wstring& program, const std::wstring& arguments) {
    // Under Wine a host program (Z:\usr\bin\dosbox) starts like any other.
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        ThrowWin32(L"CreateProcess " + program);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

void Win32DosHost::WatchFor(const std::wstring& path, std::function<void()> appeared) {
    StopWatching();
    ResetEvent(stop_);
    // Polled rather than waited on: under Wine the process handle of a host
    // program cannot be waited on, and the file is written by DOSBox.
    watcher_ = std::thread([this, path, appeared = std::move(appeared)] {
        const auto deadline = std::chrono::steady_clock::now() + kLongestWatch;
        while (std::chrono::steady_clock::now() < deadline) {
            if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
                appeared();
                // Removed after the news is on its way, so that a marker gone
                // means the window has been told. DOSBox may hold it for an instant.
                for (int tries = 0; tries < 10 && !DeleteFileW(path.c_str()); ++tries)
                    Sleep(20);
                return;
            }
            if (WaitForSingleObject(stop_, kPollMs) == WAIT_OBJECT_0)
                return;
        }
    });
}

void Win32DosHost::StopWatching() {
    if (!watcher_.joinable())
        return;
    SetEvent(stop_);
    watcher_.join();
}
