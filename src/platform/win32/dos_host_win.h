#pragma once
// DosHost on Windows and Wine: Wine found through ntdll's wine_get_version,
// paths between Windows and the host through kernel32's
// wine_get_unix_file_name and wine_get_dos_file_name, and every DOSBox
// session watched on one thread of its own until DOSBox ends.
#include <windows.h>

#include <mutex>
#include <thread>
#include <vector>

#include "platform/dos_host.h"

class Win32DosHost : public DosHost {
  public:
    Win32DosHost();
    ~Win32DosHost() override;
    Win32DosHost(const Win32DosHost&) = delete;
    Win32DosHost& operator=(const Win32DosHost&) = delete;

    bool StartsDosPrograms() override;
    std::wstring FromHostPath(const std::wstring& hostPath) override;
    std::wstring ToHostPath(const std::wstring& path) override;
    std::optional<std::string> AnsiText(const std::wstring& text) override;
    void Start(DosSession session) override;
    // Ends every watch and waits for the thread; sessions still running keep their files.
    void StopWatching();

  private:
    struct Watched {
        DosSession session;
        HANDLE process = nullptr;  // null: a host program, whose end the gone marker tells
        bool told = false;         // its news given, or no longer wanted
    };
    void Watch();

    HANDLE stop_;  // set: the watching thread ends
    std::mutex lock_;
    std::vector<Watched> sessions_;
    bool watching_ = false;
    std::thread watcher_;
};
