#include "settings/frm_command.h"

// Placeholder until the build option dialogs are built.
void ShowBuildOptionsDialog(ProgramContext&, HWND) {}
