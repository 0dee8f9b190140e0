#pragma once
// Builds and runs through DOSBox where the system cannot start DOS programs
// (64-bit Windows, Wine): telling DOS programs from Windows ones, finding
// DOSBox (and letting the user choose it), and starting a session that
// compile/dosbox_session plans, watched until DOSBox ends.
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "compile/build_script.h"
#include "compile/build_state.h"
#include "compile/dos_programs.h"
#include "compile/dosbox_session.h"
#include "platform/dos_host.h"
#include "platform/platform.h"
#include "settings/shared_settings.h"
#include "settings/user_settings.h"

// The build session's part of the DOSBox route. The build asks it whether to
// go through DOSBox and hands it the script; Run and Debug start programs
// through it. Nothing thrown inside leaves it but the Failures said below.
class DosRoute {
  public:
    DosRoute(Platform& platform, UserSettings& user, DosHost& host);

    enum class Way { Direct, DosBox, Refused };
    // After the tool check, before anything is written. DosBox: this build
    // goes through DOSBox. Direct: as without DOSBox (Windows tools, a system
    // that starts DOS programs, or DOSBox declined: after No to locating it,
    // it is not asked for again until the program starts anew). Refused: a
    // path DOSBox cannot reach, said in a message.
    Way Prepare(const SharedSettings& settings, const std::wstring& documentPath);
    // After the save dialog, before the script is written: false, said in a
    // message, when DOSBox cannot name the output in the chosen folder.
    bool AcceptOutput(const std::wstring& outFolder, const std::wstring& outBase);
    // Where DOSBox writes the output: outBase, or the chosen folder itself
    // and the base name where that folder has no short form.
    const std::wstring& OutBase() const { return outBase_; }
    // Starts a copy of the written script in DOSBox. onEnded is called off
    // the window's thread when the script has ended, or DOSBox has first, with
    // what happened there. DOSBox that cannot start is said in a message;
    // files that cannot be written throw a Failure.
    void StartScript(const BuildState& build,
                     const ScriptParts& script,
                     std::function<void(const DosOutcome&)> onEnded);
    // On the window's thread once the session has ended: DOSBox that could not
    // start (under Wine seen only then) said in its one message.
    void SayIfNotStarted();
    // Run: starts the program in DOSBox when it is a DOS program the system
    // cannot start itself and DOSBox can be found; false otherwise.
    bool RunProgram(const std::wstring& program);
    // Whether DOS programs go through DOSBox here.
    bool NeedsDosBox() { return !host_.StartsDosPrograms(); }
    // Debug: the DOS debugger in DOSBox, in the program's folder (C:), given
    // the program's name. Finds DOSBox, or asks for it as a build does; a path
    // DOSBox cannot name, or DOSBox that cannot start, is said in a message.
    // Throws a ProgramError when it has not started.
    void RunDebugger(const std::wstring& debugger, const std::wstring& program);
    // The editor's "DOSBox..." command: shows the DOSBox in use and lets the
    // user choose another or forget the choice.
    void ChooseDosBox();

  private:
    struct Found {
        std::wstring path;
        bool host = false;  // a host program under Wine, started through the host's shell
    };
    Found Find();
    bool Usable(const std::wstring& path, Found& found);
    bool EnsureDosBox(const std::wstring& why);
    bool Locate();
    Way Decide(const SharedSettings& settings, const std::wstring& documentPath);
    bool Refuse(const std::wstring& refusal);
    std::wstring MountFolder(const std::wstring& folder);
    wchar_t Drive(std::vector<DosDrive>& drives, const std::wstring& folder);
    std::wstring WorkFolder(const std::wstring& fallback);
    std::wstring NewToken();
    DosSession Planned(const std::wstring& work,
                       const std::wstring& token,
                       const std::vector<DosDrive>& drives,
                       const std::vector<std::wstring>& commands,
                       DosSession session);
    void ShowNotStarted(std::uint32_t code);

    Platform& p_;
    UserSettings& user_;
    DosHost& host_;
    Found dosbox_;
    bool declined_ = false;  // No to locating DOSBox: not asked again until the next start
    std::wstring document_, tasm_, tlink_, work_, outBase_;
    unsigned tokens_ = 0;
    std::mutex lock_;               // what the watching thread hands over
    std::uint32_t notStarted_ = 0;  // the error of a DOSBox that did not start, until said
};
