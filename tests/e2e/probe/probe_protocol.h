#pragma once
// What the driver and the probe DLL inside the program agree on. The driver
// hooks the DLL's ProbeCallWndProc (WH_CALLWNDPROC) into the program's window
// thread, creates the shared memory named by the format with the program's
// process id, and sends the probe message to the main window with a request
// number. Before the window sees it, the hook writes the menu bar there: the
// header, then one record per menu (id kProbePopup) followed by its items.
#include <windows.h>

#define KORVELINE_PROBE_MESSAGE L"KorvelineE2E.MenuProbe"
#define KORVELINE_PROBE_MEMORY_FORMAT L"KorvelineE2E.MenuProbe.%lu"
#define KORVELINE_PROBE_HOOK_EXPORT "ProbeCallWndProc"

constexpr UINT kProbePopup = 0xFFFFFFFF;
constexpr DWORD kProbeMaxRecords = 256;

struct ProbeRecord {
    UINT id, type, state;  // MENUITEMINFO's wID (or kProbePopup), fType and fState
    wchar_t text[128];     // the whole text, the shortcut after the tab
};
struct ProbeHeader {
    DWORD request, count;
    ProbeRecord records[kProbeMaxRecords];
};
