// Paging through a 4 Mi-character source in the real text view under Wine,
// page by page to the end and painted at once: plain, with colours, and with
// colours and line numbers, in alternating rounds. Prints the best time of
// each and its ratio to plain to the log given as the argument (a virtual
// desktop loses stdout).
#include <windows.h>

#include <algorithm>

#include "asm_sample.h"
#include "bench_common.h"
#include "editor/win32/text_view_win.h"

namespace {

double PageThrough(TextView& view, Document& document, const std::wstring& text, bool colours, bool numbers) {
    view.SetViewSettings({colours, numbers});
    document.Load(text);  // the colours' states found anew, as after opening
    UpdateWindow(view.Hwnd());
    const double start = Seconds();
    for (LRESULT top = -1; top != SendMessageW(view.Hwnd(), EM_GETFIRSTVISIBLELINE, 0, 0);) {
        top = SendMessageW(view.Hwnd(), EM_GETFIRSTVISIBLELINE, 0, 0);
        SendMessageW(view.Hwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
        UpdateWindow(view.Hwnd());
    }
    return Seconds() - start;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1)
        OpenLog(argv[1]);
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ViewPaintBench";
    RegisterClassW(&wc);
    HWND frame = CreateWindowExW(0, wc.lpszClassName, L"paging", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                 1000, 740, nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(frame, SW_SHOWNORMAL);
    RECT client{};
    GetClientRect(frame, &client);
    Document document;
    TextView view(document);
    view.CreateControl(frame, 1, WS_VSCROLL | WS_HSCROLL, 0, 0, 0, client.right, client.bottom);
    HFONT font = MakeFont(L"Fixedsys", 9.75, 96, false, true);
    SetControlFont(view.Hwnd(), font);
    const std::wstring text = SampleSource(4 << 20);
    double off = 1e9, colours = 1e9, both = 1e9;
    for (int round = 0; round < 2; ++round) {
        off = std::min(off, PageThrough(view, document, text, false, false));
        colours = std::min(colours, PageThrough(view, document, text, true, false));
        both = std::min(both, PageThrough(view, document, text, true, true));
    }
    const auto lines = SendMessageW(view.Hwnd(), EM_GETLINECOUNT, 0, 0);
    Say(L"Paging through 4 Mi characters (%d lines) in the text view, painted page by page:\n",
        static_cast<int>(lines));
    Say(L"  colours off, line numbers off  %8.0f ms\n", off * 1e3);
    Say(L"  colours on,  line numbers off  %8.0f ms   ratio %.2f\n", colours * 1e3, colours / off);
    Say(L"  colours on,  line numbers on   %8.0f ms   ratio %.2f\n", both * 1e3, both / off);
    CloseLog();
    DestroyWindow(frame);
    DeleteObject(font);
    return 0;
}
