#pragma once
#include <windows.h>

#include "settings/settings_store.h"

enum class ToolKind { Tasm, Tlink };

// Shows frmTasm or frmTlink over the main window (single instance each).
void ShowToolPathDialog(ToolKind kind, ProgramContext& program, HWND mainWindow);
