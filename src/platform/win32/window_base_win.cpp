#include "platform/win32/window_base_win.h"

#include <exception>
#include <new>

#include "platform/message_box.h"
#include "platform/win32/resource_ids.h"
#include "platform/win32/win32_platform.h"

namespace {

// Marks a tool window that follows its owner's enabled state.
const wchar_t kFollowsOwner[] = L"KorvelineFollowsOwner";

struct OwnedBy {
    HWND owner;
    bool enabled;
};

BOOL CALLBACK EnableIfFollowing(HWND window, LPARAM lParam) {
    const auto* owned = reinterpret_cast<const OwnedBy*>(lParam);
    if (GetWindow(window, GW_OWNER) == owned->owner && GetPropW(window, kFollowsOwner))
        EnableWindow(window, owned->enabled);
    return TRUE;
}

std::wstring Widened(const char* text) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring wide(n > 0 ? n : 1, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), n);
    wide.resize(wide.size() - 1);
    return wide;
}

// What the exception in flight failed at, in a user's words.
std::wstring DescribeFailure() {
    const std::wstring lead = L"Korveline could not finish what it was doing: ";
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return lead + L"there is not enough memory.";
    } catch (const PlatformError& e) {
        return lead + e.Operation() + L" failed.\r\n\r\n" + Win32System().ErrorText(e.Code());
    } catch (const Failure& e) {
        return lead + e.What();
    } catch (const std::exception& e) {
        return lead + Widened(e.what());
    } catch (...) {
        return lead + L"an unknown error.";
    }
}

// One message for a failure that reached a window procedure. A failure while
// that message is up (a repaint behind it) is not shown again.
void ReportFailure(HWND window) {
    static bool reporting = false;
    if (reporting)
        return;
    reporting = true;
    const std::wstring text = DescribeFailure() + L"\r\n\r\nYour document is still open.";
    HWND owner = GetAncestor(window, GA_ROOT);
    MessageBoxW(owner && IsWindowVisible(owner) ? owner : nullptr, text.c_str(), kProgramTitle,
                MB_OK | MB_ICONSTOP);
    reporting = false;
}

}  // namespace

WindowBase::~WindowBase() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

// The DPI of the window's monitor where Windows tells it (Windows 10 and
// later), else the system's.
int WindowBase::Dpi() const {
    if (dpi_)
        return dpi_;
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && hwnd_)
        if (const UINT dpi = getDpiForWindow(hwnd_))
            return static_cast<int>(dpi);
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

void WindowBase::FollowOwnerEnabled() {
    SetPropW(hwnd_, kFollowsOwner, reinterpret_cast<HANDLE>(1));
    if (HWND owner = GetWindow(hwnd_, GW_OWNER))
        EnableWindow(hwnd_, IsWindowEnabled(owner));
}

// Nothing thrown below a window procedure unwinds through Windows' own code:
// it ends here, in one message, and the message loop goes on.
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
    try {
        return self->Dispatch(message, wParam, lParam);
    } catch (...) {
        ReportFailure(hwnd);
        return 0;
    }
}

LRESULT WindowBase::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCDESTROY: {
            const HWND hwnd = hwnd_;
            LRESULT result = 0;
            try {
                result = HandleMessage(message, wParam, lParam);
            } catch (...) {
                ReportFailure(hwnd);
            }
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            OnDestroyed();
            return result;
        }
        case WM_DPICHANGED:
            dpi_ = HIWORD(wParam);
            break;
        case WM_ENABLE: {
            // The tool windows it owns follow.
            OwnedBy owned{hwnd_, wParam != 0};
            EnumThreadWindows(GetCurrentThreadId(), EnableIfFollowing, reinterpret_cast<LPARAM>(&owned));
            break;
        }
        default:
            break;
    }
    return HandleMessage(message, wParam, lParam);
}

HFONT MakeFont(const wchar_t* face, double points, int dpi, bool bold, bool fixedPitch) {
    return CreateFontW(PointsToFontHeight(points, dpi), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                       FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       (fixedPitch ? FIXED_PITCH | FF_MODERN : DEFAULT_PITCH | FF_ROMAN), face);
}

HFONT MakeMessageFont(double points, int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return MakeFont(L"MS Sans Serif", points, dpi);
    LOGFONTW font = metrics.lfMessageFont;
    font.lfHeight = PointsToFontHeight(points, dpi);
    font.lfWidth = 0;
    font.lfCharSet = RUSSIAN_CHARSET;
    return CreateFontIndirectW(&font);
}

void SetControlFont(HWND control, HFONT font) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}
