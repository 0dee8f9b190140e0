#pragma once
// Builds and runs through DOSBox where the system cannot start DOS programs
// (64-bit Windows, Wine): telling DOS programs from Windows ones, finding
// DOSBox, and the DOSBox command line that mounts the drives a script names,
// runs it, leaves a marker when it has ended and waits for a key.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "compile/build_script.h"
#include "compile/build_state.h"
#include "platform/dos_host.h"
#include "platform/platform.h"
#include "settings/shared_settings.h"
#include "settings/user_settings.h"

// "MZ" with no PE or NE header at the offset the MZ header names: a DOS .exe.
bool IsDosExe(std::string_view bytes);
// A DOS .exe, or a memory image without "MZ" (a DOS .com).
bool IsDosProgram(std::string_view bytes);

// One argument quoted, when it needs it, the way the C runtime splits a command line.
std::wstring QuoteArgument(const std::wstring& argument);

struct DosBoxSession {
    std::vector<std::pair<wchar_t, std::wstring>> mounts;  // drive letter, host folder
    std::wstring folder;                                   // the DOS folder to start in, "C:\WORK"
    std::wstring command;                                  // "call HELLO.BAT", "HELLO.COM"
    std::wstring doneMarker;  // DOS path written when the command has ended; may be empty
};
// DOSBox's arguments: mount each drive, change to the folder, run the
// command, write the marker, then wait for a key and close.
std::wstring DosBoxArguments(const DosBoxSession& session);

// The drive letters (upper case) that the texts name as "X:...", each once, in order.
std::wstring DrivesNamed(const std::vector<std::wstring>& paths);

// Where DOSBox is looked for, in order: dosbox.exe on PATH, the usual install
// folders of DOSBox, DOSBox-X and DOSBox Staging, and under Wine the host's
// programs through hostRoot (the Windows path of the Unix "/", e.g. "Z:\").
std::vector<std::wstring> DosBoxCandidates(SystemServices& system, const std::wstring& hostRoot);

// The build session's part of the DOSBox route. The build asks it whether to
// go through DOSBox and hands it the script.
class DosRoute {
  public:
    DosRoute(Platform& platform, UserSettings& user, DosHost& host);

    // After the tool check: true when this build goes through DOSBox. Asks the
    // user to locate DOSBox when it is needed and cannot be found; a refusal
    // gives false, and the build goes on as it would without DOSBox.
    bool Prepare(const SharedSettings& settings);
    // Starts the written script in DOSBox; onEnded is called off the
    // window's thread when its end is seen.
    void StartScript(const BuildState& build, const ScriptParts& script, std::function<void()> onEnded);
    // Run: starts the program in DOSBox when it is a DOS program the system
    // cannot start itself and DOSBox can be found; false otherwise.
    bool RunProgram(const std::wstring& program);
    // Whether DOS programs go through DOSBox here.
    bool NeedsDosBox() { return !host_.StartsDosPrograms(); }
    // Debug: the DOS debugger in DOSBox, in the program's folder, given the
    // program's name. Finds DOSBox, or asks for it as a build does; throws a
    // Failure when it cannot start.
    void RunDebugger(const std::wstring& debugger, const std::wstring& program);

  private:
    std::wstring Find();
    // DOSBox found, or located by the user when asked; `why` opens the question.
    bool HaveDosBox(const std::wstring& why);
    std::wstring HostFolder(wchar_t drive);
    std::wstring DosName(const std::wstring& path);

    Platform& p_;
    UserSettings& user_;
    DosHost& host_;
    std::wstring dosbox_;
    unsigned serial_ = 0;
};
