// The messages the editor control answers: those of any window (painting,
// focus, keys, mouse, scrolling) and the edit control's, with that control's
// meaning for the program and for other programs that send them.
#include <windowsx.h>

#include <algorithm>

#include "editor/win32/text_view_win.h"

namespace {

// A position given in a message: -1 (or anything past the end) is the end.
std::size_t PositionArg(WPARAM value, std::size_t length) {
    return std::min<std::size_t>(static_cast<UINT>(value), length);
}

}  // namespace

LRESULT TextView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    bool handled = true;
    const LRESULT result = OnEditMessage(message, wParam, lParam, handled);
    if (handled)
        return result;
    switch (message) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // every pixel is painted by WM_PAINT
        case WM_SIZE:
            Refresh();
            return 0;
        case WM_SETFOCUS:
            focused_ = true;
            CreateCaret(Hwnd(), nullptr, 1, lineHeight_);
            PlaceCaret();
            ShowCaret(Hwnd());
            return 0;
        case WM_KILLFOCUS:
            focused_ = false;
            DestroyCaret();
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
        case WM_KEYDOWN:
            OnKeyDown(wParam);
            return 0;
        case WM_CHAR:
            OnChar(static_cast<wchar_t>(wParam));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_MOUSEMOVE:
            OnMouse(message, wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_CAPTURECHANGED:
            dragging_ = false;
            return 0;
        case WM_MOUSEWHEEL: {
            UINT perNotch = 3;
            SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
            wheelRest_ += GET_WHEEL_DELTA_WPARAM(wParam);
            const int notches = wheelRest_ / WHEEL_DELTA;
            wheelRest_ -= notches * WHEEL_DELTA;
            const auto lines = perNotch == WHEEL_PAGESCROLL
                                   ? static_cast<std::ptrdiff_t>(PageLines(Metrics()))
                                   : static_cast<std::ptrdiff_t>(perNotch);
            ViewPosition view = view_;
            view.topLine = static_cast<std::size_t>(
                std::max<std::ptrdiff_t>(0, static_cast<std::ptrdiff_t>(view_.topLine) - notches * lines));
            ScrollTo(view);
            return 0;
        }
        case WM_VSCROLL:
            OnScroll(SB_VERT, LOWORD(wParam));
            return 0;
        case WM_HSCROLL:
            OnScroll(SB_HORZ, LOWORD(wParam));
            return 0;
        case WM_CONTEXTMENU:
            OnContextMenu(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        default:
            return WindowBase::HandleMessage(message, wParam, lParam);
    }
}

LRESULT TextView::OnEditMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    const TextBuffer& text = model_.Buffer();
    switch (message) {
        case WM_SETTEXT:
            document_.Load(lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"");
            return TRUE;
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(model_.Length());
        case WM_GETTEXT: {
            if (wParam == 0 || !lParam)
                return 0;
            const std::size_t n = std::min<std::size_t>(wParam - 1, model_.Length());
            const std::wstring part = text.Range(0, n);
            auto* out = reinterpret_cast<wchar_t*>(lParam);
            std::copy(part.begin(), part.end(), out);
            out[n] = L'\0';
            return static_cast<LRESULT>(n);
        }
        case WM_SETFONT:
            SetFont(reinterpret_cast<HFONT>(wParam));
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case EM_GETSEL: {
            const std::size_t start = model_.SelStart(), end = model_.SelEnd();
            if (wParam)
                *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(start);
            if (lParam)
                *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(end);
            return (start > 0xFFFF || end > 0xFFFF) ? -1 : MAKELRESULT(start, end);
        }
        case EM_SETSEL:
            if (static_cast<int>(wParam) == -1)  // -1: no selection, the caret stays
                SetSelection(model_.Caret(), model_.Caret());
            else
                SetSelection(PositionArg(wParam, model_.Length()), PositionArg(lParam, model_.Length()));
            return 0;
        case EM_REPLACESEL:
            ReplaceSelection(lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"", wParam != FALSE);
            return 0;
        case EM_SCROLLCARET:
            ScrollCaret();
            return TRUE;
        case EM_UNDO:
        case WM_UNDO:
            document_.Undo();
            return TRUE;
        case EM_CANUNDO:
            return model_.CanUndo() ? TRUE : FALSE;
        case EM_EMPTYUNDOBUFFER:
            model_.EmptyUndo();
            return 0;
        case EM_SETLIMITTEXT:
            return 0;  // no limit
        case EM_GETLINECOUNT:
            return static_cast<LRESULT>(text.LineCount());
        case EM_GETFIRSTVISIBLELINE:
            return static_cast<LRESULT>(view_.topLine);
        case EM_LINEFROMCHAR: {
            const std::size_t pos =
                static_cast<int>(wParam) == -1 ? model_.SelStart() : PositionArg(wParam, model_.Length());
            return static_cast<LRESULT>(text.LineOf(pos));
        }
        case EM_LINEINDEX: {
            const std::size_t line =
                static_cast<int>(wParam) == -1 ? text.LineOf(model_.Caret()) : static_cast<UINT>(wParam);
            return line < text.LineCount() ? static_cast<LRESULT>(text.LineStart(line)) : -1;
        }
        case EM_POSFROMCHAR: {
            if (wParam > model_.Length())
                return -1;
            const ViewPoint at = PointOf(model_, wParam, view_, Metrics());
            return MAKELRESULT(static_cast<short>(std::clamp(at.x, -32768LL, 32767LL)),
                               static_cast<short>(std::clamp(at.y, -32768LL, 32767LL)));
        }
        case WM_COPY:
            CopyToClipboard();
            return 0;
        case WM_CUT:
            if (CopyToClipboard())
                ReplaceSelection(L"");
            return 0;
        case WM_PASTE:
            PasteFromClipboard();
            return 0;
        case WM_CLEAR:
            ReplaceSelection(L"");
            return 0;
        default:
            handled = false;
            return 0;
    }
}
