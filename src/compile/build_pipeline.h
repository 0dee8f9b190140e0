#pragma once
// The four Compile commands: one procedure over a table of build kinds.
#include <cstdint>
#include <functional>
#include <string>

#include "compile/build_state.h"
#include "compile/dos_route.h"
#include "editor/document.h"
#include "platform/file_dialog.h"
#include "platform/platform.h"
#include "settings/shared_settings.h"

enum class BuildKind { Exe16, Exe32, Com16, Com32 };

// Where a build's script leaves what it made, known once the script is written.
struct ScriptOutputs {
    std::wstring documentPath;
    std::wstring documentShortPath;  // as the assembler is given it
    std::wstring outBase;
    std::wstring outputPath;  // outBase with the kind's extension
};
// Called off the window's thread when the script has ended, with the time it started.
using ScriptEnded = std::function<void(const ScriptOutputs&, std::uint64_t startedAt)>;

// With onScriptEnded, the script is started just the same and watched until it ends.
void RunBuild(BuildKind kind,
              Platform& p,
              const SharedSettings& settings,
              DocumentState& doc,
              BuildState& build,
              MainWindowView& view,
              CommonDialog& dialog,
              DosRoute* dosRoute = nullptr,  // where DOS tools go through DOSBox
              const ScriptEnded& onScriptEnded = {});

// Run Compile file: starts outBase with ".exe" or ".com"; reports nothing.
void RunCompiledProgram(const BuildState& build, Processes& processes);
