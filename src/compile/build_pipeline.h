#pragma once
// The four Compile commands: one procedure over a table of build kinds.
#include "compile/build_state.h"
#include "compile/dos_route.h"
#include "editor/document.h"
#include "platform/file_dialog.h"
#include "platform/platform.h"
#include "settings/shared_settings.h"

enum class BuildKind { Exe16, Exe32, Com16, Com32 };

void RunBuild(BuildKind kind,
              Platform& p,
              const SharedSettings& settings,
              DocumentState& doc,
              BuildState& build,
              MainWindowView& view,
              CommonDialog& dialog,
              DosRoute* dosRoute = nullptr);  // where DOS tools go through DOSBox

// Run Compile file: starts outBase with ".exe" or ".com"; reports nothing.
void RunCompiledProgram(const BuildState& build, Processes& processes);
