#pragma once
// What the driver and the probe DLL agree on. The driver hooks the DLL's
// ProbeCallWndProc (WH_CALLWNDPROC) into the program's window thread and sends
// the probe message to the main window; before the window sees it, the hook
// writes the menu bar as text into the shared memory named with the program's
// process id: a line per menu, "&File: &New\tCtrl+N|-|(grayed) ...|(checked) ...".
#define KORVELINE_PROBE_MESSAGE L"KorvelineE2E.MenuProbe"
#define KORVELINE_PROBE_MEMORY L"KorvelineE2E.MenuProbe.%lu"
constexpr unsigned kProbeChars = 8192;
