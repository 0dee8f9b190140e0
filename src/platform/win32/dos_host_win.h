#pragma once
// DosHost on Windows and Wine: Wine found through ntdll's wine_get_version,
// a drive's Unix folder through kernel32's wine_get_unix_file_name, and the
// end of a DOSBox session watched for on a thread of its own.
#include <windows.h>

#include <thread>

#include "platform/dos_host.h"

class Win32DosHost : public DosHost {
  public:
    Win32DosHost();
    ~Win32DosHost() override;
    Win32DosHost(const Win32DosHost&) = delete;
    Win32DosHost& operator=(const Win32DosHost&) = delete;

    bool StartsDosPrograms() override;
    std::wstring HostRoot() override;
    std::wstring HostFolderOfDrive(wchar_t drive) override;
    void Start(const std::wstring& program, const std::wstring& arguments) override;
    void WatchFor(const std::wstring& path, std::function<void()> appeared) override;
    // Ends the watch, if any, and waits for its thread.
    void StopWatching();

  private:
    HANDLE stop_;  // set: the watching thread ends
    std::thread watcher_;
};
