#pragma once
// What running DOS programs through DOSBox asks of the system. Operations
// that can fail throw PlatformError.
#include <functional>
#include <string>

#include "platform/platform_error.h"

class DosHost {
  public:
    virtual ~DosHost() = default;
    // Whether the system starts 16-bit DOS programs itself: 32-bit Windows
    // does; 64-bit Windows and Wine do not.
    virtual bool StartsDosPrograms() = 0;
    // Under Wine, the Windows path of the host's root folder ("Z:\\"); empty
    // on Windows.
    virtual std::wstring HostRoot() = 0;
    // The folder DOSBox mounts for a drive letter: the drive's root, or under
    // Wine the drive's Unix folder. Empty when the drive has none.
    virtual std::wstring HostFolderOfDrive(wchar_t drive) = 0;
    // Starts the program with the arguments (one command-line text) in its
    // own window; does not wait.
    virtual void Start(const std::wstring& program, const std::wstring& arguments) = 0;
    // Watches in the background for the file to appear; then calls
    // `appeared` on the watching thread and removes the file. A new watch
    // ends the last one.
    virtual void WatchFor(const std::wstring& path, std::function<void()> appeared) = 0;
};
