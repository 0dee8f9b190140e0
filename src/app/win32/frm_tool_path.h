#pragma once
#include <windows.h>

#include "settings/program_context.h"
#include "settings/tool_path_logic.h"

// Shows frmTasm or frmTlink over the main window (single instance each).
void ShowToolPathDialog(ToolKind kind, ProgramContext& program, HWND mainWindow);
