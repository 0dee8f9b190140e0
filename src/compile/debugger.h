#pragma once
// Debug: the built program in the debugger that came with the tools, TD.EXE
// for a DOS program and TD32.EXE for a 32-bit Windows one, started in the
// program's folder with the program's name.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "settings/shared_settings.h"
#include "settings/user_settings.h"

enum class DebuggerKind { Dos, Windows32 };

// Which debugger a program needs, from its bytes: a DOS .exe or a memory
// image (a .com) takes TD.EXE, a Windows (PE) program TD32.EXE. Nothing for
// anything else (a 16-bit Windows program, an empty file).
std::optional<DebuggerKind> DebuggerFor(std::string_view programBytes);

// "TD.EXE" or "TD32.EXE".
const wchar_t* DebuggerName(DebuggerKind kind);
// Where the user's choice of that debugger is kept.
UserPath DebuggerSetting(DebuggerKind kind);

// Where the debugger is looked for, in order: the user's choice (when there
// is one), the assembler's folder, the linker's folder.
std::vector<std::wstring> DebuggerCandidates(DebuggerKind kind,
                                             const std::wstring& chosen,
                                             const SharedSettings& settings);

// How the debugger is started for a program: in the program's folder, given
// the program's name. The program's path is its short form when it has one.
struct DebugLaunch {
    std::wstring folder;   // "C:\WORK", a drive root "C:\"
    std::wstring program;  // "HELLO.EXE"
};
DebugLaunch DebugLaunchFor(const std::wstring& programPath);

class DosRoute;

// The Debug command and the choice of debugger, for the build session.
class Debugging {
  public:
    Debugging(Platform& platform, UserSettings& user, DosRoute& dosRoute)
        : p_(platform), user_(user), dosRoute_(dosRoute) {}
    // Starts the program's debugger; asks once (a start) to locate one that
    // cannot be found, and says so when it cannot start.
    void Debug(const std::wstring& program, const SharedSettings& settings);
    // Shows the debuggers in use; the user may choose another or forget the choices.
    void Choose(const SharedSettings& settings);

  private:
    std::wstring Found(DebuggerKind kind, const SharedSettings& settings);
    std::wstring Locate(DebuggerKind kind);

    Platform& p_;
    UserSettings& user_;
    DosRoute& dosRoute_;
    bool declined_[2] = {false, false};  // by kind: the user would not locate it
};
