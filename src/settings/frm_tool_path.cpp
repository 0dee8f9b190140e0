#include "settings/frm_tool_path.h"

// Placeholder until the tool location dialogs are built.
void ShowToolPathDialog(ToolKind, ProgramContext&, HWND) {}
