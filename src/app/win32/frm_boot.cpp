#include "app/win32/frm_boot.h"

#include <cwchar>

#include "platform/win32/resource_ids.h"

namespace {

const wchar_t kBootClass[] = L"KorvelineBoot";
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 700;

// Design sizes in twips.
constexpr int kImageWidth = 5880;
constexpr int kImageHeight = 2265;
constexpr int kMoveUp = 2000;
constexpr int kLabel1Left = 1530, kLabel1Top = 1620, kLabel1Width = 2985, kLabel1Height = 285;
const wchar_t kCreditLine[] = L"Edit \x2022 assemble \x2022 link \x2022 run";

void FillGradient(HDC dc, const RECT& r, COLORREF from, COLORREF to) {
    const int height = r.bottom - r.top;
    for (int y = 0; y < height; ++y) {
        const int t = height > 1 ? y * 255 / (height - 1) : 0;
        const COLORREF c = RGB(GetRValue(from) + (GetRValue(to) - GetRValue(from)) * t / 255,
                               GetGValue(from) + (GetGValue(to) - GetGValue(from)) * t / 255,
                               GetBValue(from) + (GetBValue(to) - GetBValue(from)) * t / 255);
        ScopedBrush brush(CreateSolidBrush(c));
        RECT line{r.left, r.top + y, r.right, r.top + y + 1};
        FillRect(dc, &line, brush.Get());
    }
}

HICON LargeIcon() {
    static HICON icon = static_cast<HICON>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, 256, 256, LR_SHARED));
    return icon;
}

}  // namespace

void FrmBoot::Show() {
    RegisterWindowClass(kBootClass);
    Create(kBootClass, L"Korveline", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0);
    if (!Hwnd())
        return;
    Form_Load();
    ShowWindow(Hwnd(), SW_SHOWNORMAL);
    UpdateWindow(Hwnd());
    SetTimer(Hwnd(), kTimer1, kTimer1Interval, nullptr);
}

void FrmBoot::Form_Load() {
    // Centred on the screen at design size, then moved up and sized to the picture.
    const int width = Px(kImageWidth), height = Px(kImageHeight);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int left = work.left + (work.right - work.left - width) / 2;
    int top = work.top + (work.bottom - work.top - height) / 2 - Px(kMoveUp);
    if (top < work.top)
        top = work.top;  // keep it on the screen of a small display
    SetWindowPos(Hwnd(), HWND_TOP, left, top, width, height, SWP_NOACTIVATE);
    creditFont_.Reset(FittingCreditFont());
    titleFont_.Reset(MakeFont(L"Times New Roman", 30, Dpi(), true));
}

// Label1's font at its design size, or smaller where a wider face stands in
// for a missing Times New Roman, so the credit line is never cut off.
HFONT FrmBoot::FittingCreditFont() const {
    ScopedWindowDC dc(Hwnd());
    ScopedFont font;
    for (double points = 11.25; points >= 6; points -= 0.75) {
        font.Reset(MakeFont(L"Times New Roman", points, Dpi(), true));
        ScopedSelection selected(dc.Get(), font.Get());
        SIZE size{};
        GetTextExtentPoint32W(dc.Get(), kCreditLine, static_cast<int>(wcslen(kCreditLine)), &size);
        if (size.cx <= Px(kLabel1Width))
            break;
    }
    return font.Release();
}

void FrmBoot::Timer1_Timer() {
    KillTimer(Hwnd(), kTimer1);
    showMain_();
    DestroyWindow(Hwnd());
}

// Our own picture: a dark blue field, the program's name and a line of
// assembly, with the credit line Label1 in white below.
void FrmBoot::Paint(HDC dc) {
    RECT client{};
    GetClientRect(Hwnd(), &client);
    FillGradient(dc, client, RGB(16, 32, 72), RGB(40, 88, 160));
    SetBkMode(dc, TRANSPARENT);
    ScopedSelection selected(dc, titleFont_.Get());
    SetTextColor(dc, RGB(255, 255, 255));
    RECT title{Px(420), Px(300), client.right, Px(1050)};
    DrawTextW(dc, L"Korveline", -1, &title, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    selected.Select(creditFont_.Get());
    SetTextColor(dc, RGB(150, 200, 255));
    RECT code{Px(450), Px(1080), client.right, Px(1400)};
    DrawTextW(dc, L"mov ax, 4C00h    int 21h", -1, &code, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT label1{Px(kLabel1Left), Px(kLabel1Top), Px(kLabel1Left + kLabel1Width),
                Px(kLabel1Top + kLabel1Height)};
    DrawTextW(dc, kCreditLine, -1, &label1, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    // The program's icon at the right, large.
    const int iconSize = Px(720);
    DrawIconEx(dc, client.right - iconSize - Px(420), Px(360), LargeIcon(), iconSize, iconSize, 0, nullptr,
               DI_NORMAL);
}

LRESULT FrmBoot::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kTimer1)
                Timer1_Timer();
            return 0;
        case WM_PAINT: {
            ScopedPaint paint(Hwnd());
            Paint(paint.Get());
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_DPICHANGED:  // on a monitor of another scale: laid out and lettered for it
            Form_Load();
            InvalidateRect(Hwnd(), nullptr, FALSE);
            return 0;
        default:
            return WindowBase::HandleMessage(message, wParam, lParam);
    }
}
