// The probe DLL: runs inside the program (loaded there by a WH_CALLWNDPROC
// hook) and writes the main window's menu bar where the driver can read it,
// because under Wine another process cannot read a window's menu.
#include <windows.h>

#include <cwchar>

#include "probe/probe_protocol.h"

namespace {

// Adds the entry at the position of the menu as a record; its submenu, if any.
HMENU Add(ProbeHeader& out, HMENU menu, int position, bool popup) {
    if (out.count >= kProbeMaxRecords)
        return nullptr;
    ProbeRecord& r = out.records[out.count];
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = r.text;
    info.cch = 128;
    r.text[0] = 0;
    if (!GetMenuItemInfoW(menu, position, TRUE, &info))
        return nullptr;
    r.id = popup ? kProbePopup : info.wID;
    r.type = info.fType;
    r.state = info.fState;
    ++out.count;
    return info.hSubMenu;
}

void WriteMenuBar(HWND window, DWORD request) {
    wchar_t name[64];
    std::swprintf(name, 64, KORVELINE_PROBE_MEMORY_FORMAT, static_cast<unsigned long>(GetCurrentProcessId()));
    HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name);
    auto* out =
        mapping ? static_cast<ProbeHeader*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(ProbeHeader)))
                : nullptr;
    if (out) {
        out->count = 0;
        HMENU bar = GetMenu(window);
        for (int m = 0; bar && m < GetMenuItemCount(bar); ++m) {
            HMENU popup = Add(*out, bar, m, true);
            for (int i = 0; popup && i < GetMenuItemCount(popup); ++i)
                Add(*out, popup, i, false);
        }
        out->request = request;
        UnmapViewOfFile(out);
    }
    if (mapping)
        CloseHandle(mapping);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeCallWndProc(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT probeMessage = RegisterWindowMessageW(KORVELINE_PROBE_MESSAGE);
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == probeMessage)
        WriteMenuBar(call->hwnd, static_cast<DWORD>(call->wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
