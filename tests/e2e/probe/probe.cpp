// The probe DLL: loaded into the program by the driver's hook, it writes the
// main window's menu bar where the driver can read it, because under Wine
// another process cannot read a window's menu.
#include <windows.h>

#include <cwchar>
#include <string>

#include "probe/probe.h"

namespace {

std::wstring MenuText(HMENU bar) {
    std::wstring out;
    wchar_t text[128];
    for (int m = 0; m < GetMenuItemCount(bar); ++m) {
        HMENU popup = GetSubMenu(bar, m);
        GetMenuStringW(bar, m, text, 128, MF_BYPOSITION);
        out += std::wstring(m ? L"\n" : L"") + text + L":";
        for (int i = 0; i < GetMenuItemCount(popup); ++i) {
            const UINT state = GetMenuState(popup, i, MF_BYPOSITION);
            GetMenuStringW(popup, i, text, 128, MF_BYPOSITION);
            out +=
                std::wstring(i ? L"|" : L" ") +
                (state & MF_SEPARATOR ? L"-"
                                      : std::wstring(state & (MF_GRAYED | MF_DISABLED) ? L"(grayed) " : L"") +
                                            (state & MF_CHECKED ? L"(checked) " : L"") + text);
        }
    }
    return out;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeCallWndProc(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT probeMessage = RegisterWindowMessageW(KORVELINE_PROBE_MESSAGE);
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == probeMessage) {
        wchar_t name[64];
        std::swprintf(name, 64, KORVELINE_PROBE_MEMORY, static_cast<unsigned long>(GetCurrentProcessId()));
        if (HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name)) {
            if (void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0)) {
                const std::wstring text = MenuText(GetMenu(call->hwnd)).substr(0, kProbeChars - 1);
                std::wmemcpy(static_cast<wchar_t*>(view), text.c_str(), text.size() + 1);
                UnmapViewOfFile(view);
            }
            CloseHandle(mapping);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
