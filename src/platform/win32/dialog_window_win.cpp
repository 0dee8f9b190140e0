#include "platform/win32/dialog_window_win.h"

#include <cwchar>

int DialogWindow::LeftOf(HWND window) const {
    RECT r{};
    GetWindowRect(window, &r);
    return PixelsToTwips(r.left, Dpi());
}

int DialogWindow::TopOf(HWND window) const {
    RECT r{};
    GetWindowRect(window, &r);
    return PixelsToTwips(r.top, Dpi());
}

bool DialogWindow::CreateDialogWindow(const wchar_t* className,
                                      const std::wstring& caption,
                                      DWORD style,
                                      int clientWidthTwips,
                                      int clientHeightTwips,
                                      HWND owner,
                                      DWORD exStyle) {
    RegisterWindowClass(className);
    if (!Create(className, caption, style, exStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, owner))
        return false;
    placed_.clear();  // a dialog object opened again (Find) starts afresh
    clientWidth_ = clientWidthTwips;
    clientHeight_ = clientHeightTwips;
    style_ = style;
    exStyle_ = exStyle;
    fixedSize_ = OuterSize();
    SetWindowPos(Hwnd(), nullptr, 0, 0, fixedSize_.cx, fixedSize_.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    MakeFonts();
    return true;
}

// The design's client area with the frame this system draws at the window's DPI.
SIZE DialogWindow::OuterSize() const {
    using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = reinterpret_cast<AdjustForDpiFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    RECT r{0, 0, Px(clientWidth_), Px(clientHeight_)};
    if (!adjustForDpi || !adjustForDpi(&r, style_, FALSE, exStyle_, static_cast<UINT>(Dpi())))
        AdjustWindowRectEx(&r, style_, FALSE, exStyle_);
    return {r.right - r.left, r.bottom - r.top};
}

// Moved to a monitor of another scale: the same layout in that monitor's
// pixels, at the place Windows proposes.
void DialogWindow::OnDpiChanged(const RECT& proposed) {
    MakeFonts();
    fixedSize_ = OuterSize();
    SetWindowPos(Hwnd(), nullptr, proposed.left, proposed.top, fixedSize_.cx, fixedSize_.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    for (const Placed& p : placed_) {
        MoveWindow(p.control, Px(p.left), Px(p.top), Px(p.width), Px(p.height), TRUE);
        if (p.font)
            SetControlFont(p.control, p.font->Get());
    }
}

HFONT DialogWindow::MakeFittingFont(const wchar_t* face,
                                    double points,
                                    const std::vector<FitItem>& items) const {
    const int dpi = Dpi();
    return MakeFittingFont([&](double size) { return MakeFont(face, size, dpi); }, points, items);
}

HFONT DialogWindow::MakeFittingFont(const std::function<HFONT(double points)>& make,
                                    double points,
                                    const std::vector<FitItem>& items) const {
    constexpr double kSmallest = 6.75, kStep = 0.75;
    ScopedWindowDC dc(Hwnd());
    for (double size = points;; size -= kStep) {
        ScopedFont font(make(size));
        if (size - kStep < kSmallest)
            return font.Release();
        bool fits = true;
        {
            ScopedSelection selected(dc.Get(), font.Get());
            for (const FitItem& item : items) {
                SIZE extent{};
                GetTextExtentPoint32W(dc.Get(), item.text, static_cast<int>(wcslen(item.text)), &extent);
                if (extent.cx + item.allowancePx > Px(item.widthTwips))
                    fits = false;
            }
        }
        if (fits)
            return font.Release();
    }
}

int DialogWindow::CheckBoxAllowance() const {
    // The square is 13 pixels at 96 DPI; the text starts a few pixels after it.
    return MulDiv(13 + 6, Dpi(), 96);
}

void DialogWindow::PinSize() {
    if (fixedSize_.cx == 0 || IsIconic(Hwnd()) || IsZoomed(Hwnd()))
        return;
    RECT r{};
    GetWindowRect(Hwnd(), &r);
    if (r.right - r.left == fixedSize_.cx && r.bottom - r.top == fixedSize_.cy)
        return;
    SetWindowPos(Hwnd(), nullptr, 0, 0, fixedSize_.cx, fixedSize_.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DialogWindow::ShowWithFocusOn(HWND control) {
    lastFocus_ = control;
    ShowWindow(Hwnd(), SW_SHOWNORMAL);
    SetFocus(control);
}

HWND DialogWindow::AddWithFont(const wchar_t* className,
                               const std::wstring& text,
                               DWORD style,
                               int id,
                               int left,
                               int top,
                               int width,
                               int height,
                               const ScopedFont* font,
                               DWORD exStyle) {
    HWND control = AddControl(className, text, style, id, left, top, width, height, nullptr, exStyle);
    if (font)
        SetControlFont(control, font->Get());
    placed_.push_back({control, left, top, width, height, font});
    return control;
}

LRESULT DialogWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) != BN_CLICKED)
                return WindowBase::HandleMessage(message, wParam, lParam);
            OnButton(LOWORD(wParam));
            return 0;
        case WM_CLOSE:
            Form_Unload();
            return 0;
        case WM_SIZE:
            if (wParam == SIZE_RESTORED)
                Form_Resize();
            return 0;
        case WM_ACTIVATE:
            // A plain window would put the focus on itself; a dialog gives it
            // back to the control that had it.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(Hwnd(), focus))
                    lastFocus_ = focus;
                return 0;
            }
            if (lastFocus_ && IsWindow(lastFocus_) && !IsIconic(Hwnd())) {
                SetFocus(lastFocus_);
                return 0;
            }
            return WindowBase::HandleMessage(message, wParam, lParam);
        case WM_SETFOCUS:
            if (lastFocus_ && IsWindow(lastFocus_))
                SetFocus(lastFocus_);
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(*reinterpret_cast<const RECT*>(lParam));
            return 0;
        default:
            return WindowBase::HandleMessage(message, wParam, lParam);
    }
}

std::wstring TextOf(HWND control) {
    const int n = GetWindowTextLengthW(control);
    std::wstring text(n + 1, L'\0');
    text.resize(GetWindowTextW(control, text.data(), n + 1));
    return text;
}

bool ShowIfLoaded(const WindowBase* dialog) {
    if (!dialog || !dialog->Hwnd())
        return false;
    ShowWindow(dialog->Hwnd(), SW_SHOWNORMAL);
    if (IsWindowEnabled(dialog->Hwnd()))
        SetActiveWindow(dialog->Hwnd());
    return true;
}
