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
#include "platform/main_window.h"
#include "platform/platform.h"
#include "settings/shared_settings.h"
#include "settings/user_settings.h"

// The main window's part of the DOSBox route: one per window. The build asks
// it whether to go through DOSBox and hands it the script; the window calls
// ScriptEnded when `notifyEnded` (called on another thread) has reached it.
// Nothing thrown inside leaves it but PlatformError from StartScript.
class DosRoute {
  public:
    DosRoute(Platform& platform, UserSettings& user, DosHost& host, std::function<void()> notifyEnded);

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
    // Starts a copy of the written script in DOSBox; the output test waits
    // for its end. onEnded, when given, is called first when the end is
    // seen, off the window's thread. DOSBox that cannot start is said in a
    // message; files that cannot be written throw PlatformError.
    void StartScript(BuildState& build,
                     const ScriptParts& script,
                     const std::wstring& extension,
                     bool com,
                     std::function<void()> onEnded = {});
    // The session has ended (or its script has): the one-second test's
    // output test, now, and the rows of what happened in DOSBox added to the
    // results, when given. Ignores an end that is not the last build's.
    void ScriptEnded(BuildState& build, MainWindowView& view, BuildResults* results = nullptr);
    // Run: starts the program in DOSBox when it is a DOS program the system
    // cannot start itself and DOSBox can be found; false otherwise.
    bool RunProgram(const std::wstring& program);
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
    bool EnsureDosBox();
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
    std::function<void()> notifyEnded_;
    Found dosbox_;
    bool declined_ = false;  // No to locating DOSBox: not asked again until the next start
    std::wstring document_, tasm_, tlink_, work_, outBase_;
    unsigned tokens_ = 0;
    unsigned serial_ = 0;  // the number of the last build started in DOSBox
    bool pending_ = false;
    std::wstring pendingExtension_;
    bool pendingCom_ = false;
    std::mutex endLock_;  // the watch's news, handed to the window's thread
    unsigned endedSerial_ = 0;
    DosSessionEnd ended_;
};
