#pragma once
// The driver hooks ProbeCallWndProc into the program's window thread and sends the
// message to the main window; the hook writes the menu bar into the shared memory named
// with the program's id: a line per menu, "&File: &New\tCtrl+N|-|(grayed) ...|(checked) ...".
#define KORVELINE_PROBE_MESSAGE L"KorvelineE2E.MenuProbe"
#define KORVELINE_PROBE_MEMORY L"KorvelineE2E.MenuProbe.%lu"
constexpr unsigned kProbeChars = 8192;
