#include "platform/win32/dos_host_win.h"

#include <cstdlib>
#include <functional>

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

std::string Encoded(UINT codePage, const std::wstring& text, BOOL* lossy = nullptr) {
    if (text.empty())
        return {};
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int n = WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, lossy);
    std::string bytes(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), bytes.data(), n,
                            nullptr, lossy);
    return bytes;
}

bool Exists(const std::wstring& path) {
    return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Read(const std::wstring& path) {
    try {
        return Exists(path) ? Win32FileSystem().ReadAll(path) : std::string();
    } catch (const PlatformError&) {
        return {};
    }
}

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

std::wstring Win32DosHost::FromHostPath(const std::wstring& hostPath) {
    auto dosFileName = WineExport<WineGetDosFileName>(L"kernel32.dll", "wine_get_dos_file_name");
    if (!UnderWine() || !dosFileName)
        return {};
    wchar_t* dosPath = dosFileName(Encoded(CP_UTF8, hostPath).c_str());
    if (!dosPath)
        return {};
    std::wstring path = dosPath;
    HeapFree(GetProcessHeap(), 0, dosPath);
    // Only a path on a drive: a prefix without one has hidden that part of the host on purpose.
    return path.size() >= 3 && path[1] == L':' && path[2] == L'\\' ? path : std::wstring();
}

std::wstring Win32DosHost::ToHostPath(const std::wstring& path) {
    auto unixFileName = WineExport<WineGetUnixFileName>(L"kernel32.dll", "wine_get_unix_file_name");
    if (!UnderWine() || !unixFileName)
        return {};
    char* unixPath = unixFileName(path.c_str());
    if (!unixPath)
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, unixPath, -1, nullptr, 0);
    std::wstring hostPath(n > 0 ? n - 1 : 0, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, unixPath, -1, hostPath.data(), n);
    HeapFree(GetProcessHeap(), 0, unixPath);
    if (!path.empty() && path.back() == L'\\' && !hostPath.empty() && hostPath.back() != L'/')
        hostPath += L'/';
    return hostPath;
}

std::optional<std::string> Win32DosHost::AnsiText(const std::wstring& text) {
    BOOL lossy = FALSE;
    std::string bytes = Encoded(CP_ACP, text, &lossy);
    if (lossy)
        return std::nullopt;
    return bytes;
}

void Win32DosHost::Start(DosSession session) {
    std::wstring commandLine = session.commandLine;  // CreateProcess may write into it
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        session.folder.empty() ? nullptr : session.folder.c_str(), &startup, &process)) {
        const DWORD error = GetLastError();
        for (const std::wstring& file : session.workFiles)
            DeleteFileW(file.c_str());
        ThrowWin32(L"CreateProcess " + session.commandLine, error);
    }
    // Under Wine a host program (through Z:\bin\sh) comes without handles.
    if (process.hThread)
        CloseHandle(process.hThread);
    std::lock_guard<std::mutex> guard(lock_);
    if (session.ended) {
        for (Watched& earlier : sessions_)
            earlier.told = true;
    }
    sessions_.push_back({std::move(session), process.hProcess, false});
    if (watching_)
        return;
    if (watcher_.joinable())
        watcher_.join();  // a thread that has ended, its sessions all gone
    ResetEvent(stop_);
    watching_ = true;
    watcher_ = std::thread([this] { Watch(); });
}

// Polled: under Wine the gone marker is a file, and the end marker always is.
void Win32DosHost::Watch() {
    for (;;) {
        std::vector<std::function<void()>> news;
        {
            std::lock_guard<std::mutex> guard(lock_);
            for (auto at = sessions_.begin(); at != sessions_.end();) {
                Watched& watched = *at;
                const DosSession& s = watched.session;
                const bool scriptEnd = Exists(s.endMarker);
                DosSessionEnd end;
                bool gone = false;
                if (watched.process) {
                    DWORD code = 0;
                    gone = WaitForSingleObject(watched.process, 0) == WAIT_OBJECT_0 &&
                           GetExitCodeProcess(watched.process, &code);
                    end.exitStatus = gone ? static_cast<int>(code) : -1;
                } else if (!s.goneMarker.empty()) {
                    const std::string status = Read(s.goneMarker);  // "$?" and a line end, once written
                    gone = status.find('\n') != std::string::npos;
                    end.exitStatus = gone ? std::atoi(status.c_str()) : -1;
                } else {
                    gone = scriptEnd || s.endMarker.empty();
                }
                end.scriptEnded = scriptEnd || (gone && Exists(s.endMarker));
                if (!watched.told && s.ended && (end.scriptEnded || gone)) {
                    watched.told = true;
                    end.status = Read(s.statusFile);
                    news.push_back([tell = s.ended, end] { tell(end); });
                }
                if (!gone) {
                    ++at;
                    continue;
                }
                for (const std::wstring& file : s.workFiles)
                    DeleteFileW(file.c_str());
                if (watched.process)
                    CloseHandle(watched.process);
                at = sessions_.erase(at);
            }
        }
        for (const auto& tell : news) {
            try {
                tell();
            } catch (...) {
                // Nothing thrown on this thread may end the program.
            }
        }
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (sessions_.empty()) {
                watching_ = false;
                return;
            }
        }
        if (WaitForSingleObject(stop_, kPollMs) == WAIT_OBJECT_0)
            return;
    }
}

void Win32DosHost::StopWatching() {
    SetEvent(stop_);
    if (watcher_.joinable())
        watcher_.join();
    std::lock_guard<std::mutex> guard(lock_);
    for (Watched& watched : sessions_) {
        if (watched.process)
            CloseHandle(watched.process);
    }
    sessions_.clear();
    watching_ = false;
}
