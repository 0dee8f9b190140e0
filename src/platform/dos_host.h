#pragma once
// What running DOS programs through DOSBox asks of the system. Operations
// that can fail throw PlatformError.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform_error.h"

// How a DOSBox session ended, as its watch saw it.
struct DosSessionEnd {
    bool scriptEnded = false;  // the end marker appeared
    std::string status;        // the status file's bytes when the end was seen (may be empty)
    int exitStatus = -1;       // DOSBox's (or its wrapper's) exit status once it has ended; -1: still running
};

// One DOSBox started: its command line (the program first), the folder it
// starts in, and what tells its end.
struct DosSession {
    std::wstring commandLine, folder;
    std::wstring endMarker;   // appears when the script has ended; empty: no script to wait for
    std::wstring statusFile;  // read when the end is seen
    std::wstring goneMarker;  // appears when DOSBox has ended; empty: the started process itself is watched
    std::vector<std::wstring> workFiles;  // removed once DOSBox has ended
    // Called once, off the caller's thread: when the end marker appears, or
    // when DOSBox ends first. Not for a session whose news a later one ended.
    std::function<void(const DosSessionEnd&)> ended;
};

class DosHost {
  public:
    virtual ~DosHost() = default;
    // Whether the system starts 16-bit DOS programs itself: 32-bit Windows
    // does; 64-bit Windows and Wine do not.
    virtual bool StartsDosPrograms() = 0;
    // Under Wine, the Windows path of a host (Unix) path ("/bin/sh" gives
    // "Z:\\bin\\sh"); empty when no drive reaches it, and on Windows.
    virtual std::wstring FromHostPath(const std::wstring& hostPath) = 0;
    // Under Wine, the host path of a Windows path, a folder's with its
    // trailing "/"; empty when it has none, and on Windows.
    virtual std::wstring ToHostPath(const std::wstring& path) = 0;
    // The text in the system's ANSI code page, which a Windows DOSBox reads;
    // nothing when a character has no place in it.
    virtual std::optional<std::string> AnsiText(const std::wstring& text) = 0;
    // Starts the session's program in its own window and watches it; does
    // not wait. A session with `ended` ends the news of earlier ones; their
    // files are still removed when they end. A program that cannot start
    // throws, its work files removed.
    virtual void Start(DosSession session) = 0;
};
