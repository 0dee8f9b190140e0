#include "platform/win32/window_base_win.h"

#include "platform/win32/resource_ids.h"

WindowBase::~WindowBase() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

int WindowBase::Dpi() const {
    ScopedWindowDC dc(hwnd_);
    const int dpi = GetDeviceCaps(dc.Get(), LOGPIXELSY);
    return dpi > 0 ? dpi : 96;
}

int WindowBase::Left() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return PixelsToTwips(r.left, Dpi());
}

int WindowBase::Top() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return PixelsToTwips(r.top, Dpi());
}

void WindowBase::MoveTo(int leftTwips, int topTwips) {
    SetWindowPos(hwnd_, nullptr, Px(leftTwips), Px(topTwips), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HICON WindowBase::ProgramIcon(bool small) {
    const int size = GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                         size, size, LR_SHARED));
}

void WindowBase::RegisterWindowClass(const wchar_t* className,
                                     HBRUSH background,
                                     UINT classStyle,
                                     const wchar_t* cursor) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), className, &wc))
        return;
    wc.style = classStyle;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = ProgramIcon(false);
    wc.hIconSm = ProgramIcon(true);
    wc.hCursor = LoadCursorW(nullptr, cursor);
    wc.hbrBackground = background ? background : GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = className;
    RegisterClassExW(&wc);
}

HWND WindowBase::Create(const wchar_t* className,
                        const std::wstring& title,
                        DWORD style,
                        DWORD exStyle,
                        int x,
                        int y,
                        int width,
                        int height,
                        HWND parent,
                        HMENU menu) {
    return CreateWindowExW(exStyle, className, title.c_str(), style, x, y, width, height, parent, menu,
                           GetModuleHandleW(nullptr), this);
}

LRESULT WindowBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

HWND WindowBase::AddControl(const wchar_t* className,
                            const std::wstring& text,
                            DWORD style,
                            int id,
                            int left,
                            int top,
                            int width,
                            int height,
                            HWND parent,
                            DWORD exStyle) {
    return CreateWindowExW(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, Px(left), Px(top),
                           Px(width), Px(height), parent ? parent : hwnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                           nullptr);
}

LRESULT CALLBACK WindowBase::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<WindowBase*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        const LRESULT result = self->HandleMessage(message, wParam, lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnDestroyed();
        return result;
    }
    return self->HandleMessage(message, wParam, lParam);
}

HFONT MakeFont(const wchar_t* face, double points, int dpi, bool bold, bool fixedPitch) {
    return CreateFontW(PointsToFontHeight(points, dpi), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                       FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       (fixedPitch ? FIXED_PITCH | FF_MODERN : DEFAULT_PITCH | FF_ROMAN), face);
}

void SetControlFont(HWND control, HFONT font) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}
