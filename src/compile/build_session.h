#pragma once
// The four Compile commands and Run, and what happens between them: the tool
// check, the document and the script written beside it, the script started
// directly or in DOSBox, the output test (one second after the start, or when
// DOSBox's script has ended), and the assembler's messages read off the
// window's thread once the script has ended. One session per main window.
#include <functional>
#include <memory>
#include <optional>

#include "compile/build_results.h"
#include "compile/build_state.h"
#include "compile/debugger.h"
#include "compile/dos_route.h"
#include "editor/document.h"
#include "platform/file_dialog.h"
#include "platform/platform.h"
#include "settings/shared_settings.h"
#include "settings/user_settings.h"

class BuildSession {
  public:
    // notifyEnded is called off the window's thread when a script has ended;
    // the window then calls TakeEnded on its own.
    BuildSession(Platform& platform, UserSettings& user, DosHost& dosHost, std::function<void()> notifyEnded);
    ~BuildSession();
    BuildSession(const BuildSession&) = delete;
    BuildSession& operator=(const BuildSession&) = delete;

    // One of the four Compile commands on the document.
    void Build(BuildKind kind, const SharedSettings& settings, Document& document, CommonDialog& dialog);
    // After notifyEnded, on the window's thread: the DOSBox route's output
    // test, and the results of the latest build if its script was the one
    // that ended. Nothing when an earlier build's script ended late.
    std::optional<BuildResults> TakeEnded();
    // Run Compile file: starts outBase with ".exe" or ".com"; reports nothing.
    void Run();
    // Debug: the program Run would start, in its debugger; only while Run is enabled.
    void Debug(const SharedSettings& settings);
    void ChooseDebugger(const SharedSettings& settings) { debugging_.Choose(settings); }

    bool RunEnabled() const { return state_.runEnabled; }
    // The number of the latest build that passed the tool check (from 1).
    unsigned LatestBuild() const;
    const BuildState& State() const { return state_; }

  private:
    struct Ended;  // shared with the threads that watch scripts
    struct OutputTest {
        unsigned build;
        const wchar_t* extension;
        bool com;
    };
    void WriteAndStart(BuildKind kind,
                       const SharedSettings& settings,
                       Document& document,
                       CommonDialog& dialog,
                       unsigned build,
                       bool viaDosBox);
    void TestOutput(const OutputTest& test);

    std::wstring Program() const;

    Platform& p_;
    DosRoute dosRoute_;
    Debugging debugging_;
    std::function<void()> notifyEnded_;
    BuildState state_;
    std::optional<OutputTest> pendingTest_;  // the DOSBox route's, until its script has ended
    std::shared_ptr<Ended> ended_;
};
