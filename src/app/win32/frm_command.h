#pragma once
#include <windows.h>

#include "settings/program_context.h"

// Shows frmCommand (the EXE build options) over the main window; its
// "Com files" button opens frmCommand2 over it.
void ShowBuildOptionsDialog(ProgramContext& program, HWND mainWindow);
