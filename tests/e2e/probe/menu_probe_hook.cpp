// The probe DLL: runs inside the program (loaded there by a WH_CALLWNDPROC
// hook) and writes the main window's menu bar where the driver can read it,
// because under Wine another process cannot read a window's menu.
#include <windows.h>

#include <cwchar>

#include "probe/probe_protocol.h"

namespace {

// Appends to a fixed buffer; the writer stops quietly when it is full.
class Writer {
  public:
    Writer(wchar_t* text, DWORD capacity) : text_(text), capacity_(capacity) {}
    void Put(const wchar_t* s) {
        while (*s && length_ < capacity_)
            text_[length_++] = *s++;
    }
    DWORD Length() const { return length_; }

  private:
    wchar_t* text_;
    DWORD capacity_;
    DWORD length_ = 0;
};

void PutState(Writer& out, UINT type, UINT state) {
    wchar_t letters[8];
    int n = 0;
    if (type & MFT_SEPARATOR)
        letters[n++] = L'S';
    if (state & MFS_GRAYED)
        letters[n++] = L'G';
    if (state & MFS_DISABLED)
        letters[n++] = L'D';
    if (state & MFS_CHECKED)
        letters[n++] = L'C';
    if (n == 0)
        letters[n++] = L'-';
    letters[n] = 0;
    out.Put(letters);
}

// One menu entry's text, state and id, as GetMenuItemInfo gives them.
bool ItemOf(HMENU menu, int position, wchar_t* text, UINT capacity, MENUITEMINFOW& info) {
    info = MENUITEMINFOW{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = capacity;
    text[0] = 0;
    return GetMenuItemInfoW(menu, position, TRUE, &info) != FALSE;
}

void WriteMenuBar(HWND window, DWORD request) {
    wchar_t name[64];
    std::swprintf(name, 64, KORVELINE_PROBE_MEMORY_FORMAT, static_cast<unsigned long>(GetCurrentProcessId()));
    HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name);
    if (!mapping)
        return;
    void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kProbeMemoryBytes);
    if (view) {
        auto* header = static_cast<ProbeHeader*>(view);
        auto* text = reinterpret_cast<wchar_t*>(header + 1);
        Writer out(text, (kProbeMemoryBytes - sizeof(ProbeHeader)) / sizeof(wchar_t));
        HMENU bar = GetMenu(window);
        const int menus = bar ? GetMenuItemCount(bar) : 0;
        wchar_t caption[512];
        wchar_t number[16];
        MENUITEMINFOW info;
        for (int m = 0; m < menus; ++m) {
            if (!ItemOf(bar, m, caption, 512, info))
                continue;
            out.Put(L"P\t");
            PutState(out, info.fType, info.fState);
            out.Put(L"\t");
            out.Put(caption);
            out.Put(L"\n");
            HMENU popup = info.hSubMenu;
            const int items = popup ? GetMenuItemCount(popup) : 0;
            for (int i = 0; i < items; ++i) {
                if (!ItemOf(popup, i, caption, 512, info))
                    continue;
                out.Put(L"I\t");
                PutState(out, info.fType, info.fState);
                std::swprintf(number, 16, L"\t%u\t", info.wID);
                out.Put(number);
                out.Put(caption);
                out.Put(L"\n");
            }
        }
        header->length = out.Length();
        header->request = request;
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeCallWndProc(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT probeMessage = RegisterWindowMessageW(KORVELINE_PROBE_MESSAGE);
    if (code == HC_ACTION) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (call->message == probeMessage)
            WriteMenuBar(call->hwnd, static_cast<DWORD>(call->wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
