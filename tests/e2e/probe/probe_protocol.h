#pragma once
// What the driver and the probe DLL inside the program agree on.
//
// The driver installs the DLL's ProbeCallWndProc as a WH_CALLWNDPROC hook on
// the program's window thread; Wine then loads the DLL into the program. To
// read the menu bar, the driver creates the shared memory named by
// ProbeMemoryName(program's process id) and sends the probe message to the
// main window with a request number in wParam. Before the window sees the
// message, the hook writes the menu bar into the shared memory, headed by
// that request number. When SendMessage returns, the answer is there.
//
// Memory layout: DWORD request number, DWORD text length in characters,
// then the text (UTF-16). One line per entry, each ended by '\n':
//   P<TAB><state><TAB><caption>     a menu of the menu bar
//   I<TAB><state><TAB><id><TAB><text>  an item of the menu above it
// <state> is a set of letters: S separator, G grayed, D disabled, C checked,
// or "-" for none. <text> is the item's whole text, shortcut after the tab.
#include <windows.h>

#define KORVELINE_PROBE_MESSAGE L"KorvelineE2E.MenuProbe"
#define KORVELINE_PROBE_MEMORY_FORMAT L"KorvelineE2E.MenuProbe.%lu"
#define KORVELINE_PROBE_HOOK_EXPORT "ProbeCallWndProc"

enum { kProbeMemoryBytes = 256 * 1024 };

struct ProbeHeader {
    DWORD request;
    DWORD length;
};
