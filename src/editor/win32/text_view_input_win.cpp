// The text view's input: keys, characters, the mouse, the scroll bars and
// the context menu's place. Every handler ends in one refresh.
#include <algorithm>

#include "editor/win32/text_view_win.h"

namespace {

bool KeyDown(int key) {
    return GetKeyState(key) < 0;
}

}  // namespace

void TextView::OnScroll(int bar, int request) {
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(Hwnd(), bar, &info);
    const bool vertical = bar == SB_VERT;
    const int step = vertical ? 1 : charWidth_;
    const int page = vertical ? static_cast<int>(PageLines(Metrics()))
                              : std::max<int>(charWidth_, static_cast<int>(info.nPage) - charWidth_);
    long long pos = vertical ? static_cast<long long>(view_.topLine) : view_.xOffset;
    switch (request) {
        case SB_LINEUP:
            pos -= step;
            break;
        case SB_LINEDOWN:
            pos += step;
            break;
        case SB_PAGEUP:
            pos -= page;
            break;
        case SB_PAGEDOWN:
            pos += page;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            pos = info.nTrackPos;
            break;
        case SB_TOP:
            pos = 0;
            break;
        case SB_BOTTOM:
            pos = info.nMax;
            break;
        default:
            return;
    }
    pos = std::max(0LL, pos);
    ViewPosition view = view_;
    if (vertical)
        view.topLine = static_cast<std::size_t>(pos);
    else
        view.xOffset = static_cast<int>(std::min(pos, 1LL << 30));
    ScrollTo(view);
}

void TextView::OnKeyDown(WPARAM key) {
    const bool shift = KeyDown(VK_SHIFT), ctrl = KeyDown(VK_CONTROL);
    const std::size_t page = PageLines(Metrics());
    switch (key) {
        case VK_LEFT:
            model_.Move(ctrl ? Motion::WordLeft : Motion::Left, shift);
            break;
        case VK_RIGHT:
            model_.Move(ctrl ? Motion::WordRight : Motion::Right, shift);
            break;
        case VK_UP:
            model_.Move(Motion::Up, shift);
            break;
        case VK_DOWN:
            model_.Move(Motion::Down, shift);
            break;
        case VK_HOME:
            model_.Move(ctrl ? Motion::TextStart : Motion::Home, shift);
            break;
        case VK_END:
            model_.Move(ctrl ? Motion::TextEnd : Motion::End, shift);
            break;
        case VK_PRIOR:
        case VK_NEXT: {
            const bool up = key == VK_PRIOR;
            model_.Move(up ? Motion::PageUp : Motion::PageDown, shift, page);
            view_.topLine = up ? view_.topLine - std::min(view_.topLine, page) : view_.topLine + page;
            view_ = Clamped(model_, view_, Metrics());
            break;
        }
        case VK_DELETE: {
            if (shift) {
                SendMessageW(Hwnd(), WM_CUT, 0, 0);
                return;
            }
            const std::size_t from = EditStarts();
            document_.Edited(from, model_.DeleteForward());
            return;
        }
        case VK_INSERT:
            if (ctrl)
                SendMessageW(Hwnd(), WM_COPY, 0, 0);
            if (shift)
                SendMessageW(Hwnd(), WM_PASTE, 0, 0);
            return;
        default:
            return;
    }
    ScrollCaret();
}

void TextView::OnChar(wchar_t c) {
    const TextBuffer& text = model_.Buffer();
    const std::size_t from = text.LineOf(model_.SelStart());
    // The block-comment state below the edit, to see whether the edit changes the colours there.
    const std::size_t below = text.LineOf(model_.SelEnd()) + 1;
    const bool colours = settings_.colourSyntax && below < text.LineCount();
    const BlockState stateBelow = colours ? syntax_.At(text, below) : 0;
    bool changed = false;
    if (c == L'\b')
        changed = model_.DeleteBackward(false);
    else if (c == 0x7F)  // Ctrl+Backspace
        changed = model_.DeleteBackward(true);
    else if (c == L'\r')
        changed = model_.ReplaceSelection(L"\r\n");
    else if (c == L'\t' || c >= L' ')
        changed = model_.ReplaceSelection(std::wstring(1, c));
    else
        return;  // other control characters (Ctrl+letters) type nothing
    syntax_.Forget(std::min(from, text.LineOf(model_.SelStart())));
    const std::size_t to = text.LineOf(model_.Caret());
    typed_ = Typed{true, std::min(from, to), std::max(from, to)};
    if (colours && below < text.LineCount() && syntax_.At(text, below) != stateBelow)
        typed_.to = static_cast<std::size_t>(-1);  // to the bottom of the view
    document_.Edited(from, changed);
    typed_ = Typed{};
}

void TextView::OnMouse(UINT message, WPARAM keys, int x, int y) {
    const ViewMetrics m = Metrics();
    switch (message) {
        case WM_LBUTTONDOWN:
            SetFocus(Hwnd());
            SetCapture(Hwnd());
            dragging_ = true;
            {
                const std::size_t pos = PositionAt(model_, view_, m, x, y);
                model_.Select((keys & MK_SHIFT) ? model_.Anchor() : pos, pos);
            }
            break;
        case WM_LBUTTONDBLCLK:
            model_.SelectWordAt(PositionAt(model_, view_, m, x, y));
            break;
        case WM_MOUSEMOVE:
            if (!dragging_ || !(keys & MK_LBUTTON))
                return;
            model_.Select(model_.Anchor(), PositionAt(model_, view_, m, x, y));
            break;
        case WM_LBUTTONUP:
            if (dragging_)
                ReleaseCapture();
            return;
        default:
            return;
    }
    ScrollCaret();
}

// The menu is the commands' owner's, which is told where to show it: at the
// mouse, or from the keyboard at the caret.
void TextView::OnContextMenu(int x, int y) {
    SetFocus(Hwnd());
    if (x == -1 && y == -1) {
        POINT caret{};
        GetCaretPos(&caret);
        ClientToScreen(Hwnd(), &caret);
        x = caret.x;
        y = caret.y + lineHeight_;
    }
    SendMessageW(GetParent(Hwnd()), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Hwnd()), MAKELPARAM(x, y));
}
