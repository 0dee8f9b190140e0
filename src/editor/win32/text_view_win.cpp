#include "editor/win32/text_view_win.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

enum MenuCommand : UINT { kMenuUndo = 1, kMenuCut, kMenuCopy, kMenuPaste, kMenuDelete, kMenuSelectAll };

bool KeyDown(int key) {
    return GetKeyState(key) < 0;
}

}  // namespace

HWND TextView::CreateControl(HWND parent,
                             int id,
                             DWORD style,
                             DWORD exStyle,
                             int x,
                             int y,
                             int width,
                             int height) {
    RegisterWindowClass(kTextViewClass, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), CS_DBLCLKS,
                        IDC_IBEAM);
    HWND hwnd = Create(kTextViewClass, L"", WS_CHILD | WS_VISIBLE | style, exStyle, x, y, width, height,
                       parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
    SetFont(nullptr);
    UpdateScrollBars();
    return hwnd;
}

void TextView::SetText(std::wstring text) {
    model_.SetText(std::move(text));
    topLine_ = 0;
    xOffset_ = 0;
    Changed(false);
}

void TextView::ReplaceSelection(const std::wstring& text, bool undoable) {
    const bool changed = model_.ReplaceSelection(text, undoable);
    ScrollCaret();
    Changed(changed);
}

void TextView::SetSelection(std::size_t anchor, std::size_t caret) {
    model_.Select(anchor, caret);
    Changed(false);
}

void TextView::Undo() {
    const bool changed = model_.Undo();
    ScrollCaret();
    Changed(changed);
}

void TextView::Changed(bool textChanged) {
    Refresh();
    if (textChanged && Hwnd()) {
        const int id = GetDlgCtrlID(Hwnd());
        SendMessageW(GetParent(Hwnd()), WM_COMMAND, MAKEWPARAM(id, EN_CHANGE),
                     reinterpret_cast<LPARAM>(Hwnd()));
    }
}

// A key typed within the lines in view, that neither scrolled nor changed the
// number of lines, repaints only the lines it edited; anything else repaints
// the whole view.
void TextView::Refresh() {
    if (!Hwnd())
        return;
    UpdateScrollBars();
    PlaceCaret();
    const std::size_t lines = model_.Buffer().LineCount();
    if (typed_.edited && topLine_ == shown_.top && xOffset_ == shown_.xOffset && lines == shown_.lines) {
        RECT rows{};
        GetClientRect(Hwnd(), &rows);
        const auto row = [&](std::size_t line) {
            const long long y =
                (static_cast<long long>(line) - static_cast<long long>(topLine_)) * lineHeight_;
            return static_cast<LONG>(std::clamp(y, 0LL, static_cast<long long>(rows.bottom)));
        };
        rows.top = row(typed_.from);
        rows.bottom = row(typed_.to + 1);
        InvalidateRect(Hwnd(), &rows, FALSE);
        return;
    }
    shown_ = Shown{topLine_, xOffset_, lines};
    InvalidateRect(Hwnd(), nullptr, FALSE);
}

std::size_t TextView::VisibleLines() const {
    RECT client{};
    GetClientRect(Hwnd(), &client);
    return static_cast<std::size_t>(std::max(1L, client.bottom / lineHeight_));
}

void TextView::UpdateScrollBars() {
    RECT client{};
    GetClientRect(Hwnd(), &client);
    const std::size_t lines = model_.Buffer().LineCount();
    const std::size_t page = VisibleLines();
    const std::size_t maxTop = lines > page ? lines - page : 0;
    topLine_ = std::min(topLine_, maxTop);
    SetBar(SB_VERT, static_cast<int>(lines - 1), static_cast<UINT>(page), static_cast<int>(topLine_));
    // The widest line and room for the caret after it, in steps of 16
    // columns, so that typing at the end of the widest line does not set the
    // bar again at every key.
    const std::size_t columns = (model_.WidestLine() / 16 + 1) * 16;
    const int width = kMargin + static_cast<int>(std::min<std::size_t>(columns, 1u << 24)) * charWidth_;
    const int maxOffset = std::max(0, width - static_cast<int>(client.right));
    xOffset_ = std::min(xOffset_, maxOffset);
    SetBar(SB_HORZ, width - 1, static_cast<UINT>(std::max(0L, client.right)), xOffset_);
}

// Setting a scroll bar redraws it at once, which costs Wine more than the
// rest of a key press: only a bar whose values changed is set.
void TextView::SetBar(int bar, int max, UINT page, int pos) {
    BarState& state = bars_[bar == SB_VERT ? 1 : 0];
    if (state.max == max && state.page == page && state.pos == pos)
        return;
    state = BarState{max, page, pos};
    SCROLLINFO info{sizeof info, SIF_ALL | SIF_DISABLENOSCROLL, 0, max, page, pos, 0};
    SetScrollInfo(Hwnd(), bar, &info, TRUE);
}

void TextView::PlaceCaret() {
    if (!focused_)
        return;
    const std::size_t caret = model_.Caret();
    const std::size_t line = model_.Buffer().LineOf(caret);
    const long long row = static_cast<long long>(line) - static_cast<long long>(topLine_);
    const long long x = kMargin + static_cast<long long>(model_.ColumnOf(caret)) * charWidth_ - xOffset_;
    const long long y = row * lineHeight_;
    // Far outside the window the caret is simply not seen.
    SetCaretPos(static_cast<int>(std::clamp(x, -100000LL, 100000LL)),
                static_cast<int>(std::clamp(y, -100000LL, 100000LL)));
}

// The caret's line comes into view; sideways the view jumps a quarter of its
// width at a time, as the edit control does.
void TextView::ScrollCaret() {
    if (!Hwnd())
        return;
    RECT client{};
    GetClientRect(Hwnd(), &client);
    const std::size_t caret = model_.Caret();
    const std::size_t line = model_.Buffer().LineOf(caret);
    const std::size_t page = VisibleLines();
    std::size_t top = topLine_;
    if (line < top)
        top = line;
    if (line >= top + page)
        top = line - page + 1;
    int offset = xOffset_;
    const int x =
        kMargin + static_cast<int>(std::min<std::size_t>(model_.ColumnOf(caret), 1u << 24)) * charWidth_;
    const int quarter = std::max<int>(charWidth_, client.right / 4);
    if (x < offset + kMargin)
        offset = std::max(0, x - quarter);
    if (x + charWidth_ > offset + client.right)
        offset = x + charWidth_ - client.right + quarter;
    ScrollTo(static_cast<std::ptrdiff_t>(top), offset);
}

void TextView::ScrollTo(std::ptrdiff_t topLine, int xOffset) {
    const std::size_t lines = model_.Buffer().LineCount();
    const std::size_t page = VisibleLines();
    const auto maxTop = static_cast<std::ptrdiff_t>(lines > page ? lines - page : 0);
    topLine_ = static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(topLine, 0, maxTop));
    xOffset_ = std::max(0, xOffset);
    Refresh();
}

void TextView::OnScroll(int bar, int request) {
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(Hwnd(), bar, &info);
    const bool vertical = bar == SB_VERT;
    const int step = vertical ? 1 : charWidth_;
    const int page = vertical ? static_cast<int>(VisibleLines())
                              : std::max<int>(charWidth_, static_cast<int>(info.nPage) - charWidth_);
    long long pos = vertical ? static_cast<long long>(topLine_) : xOffset_;
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
    if (vertical)
        ScrollTo(static_cast<std::ptrdiff_t>(pos), xOffset_);
    else
        ScrollTo(static_cast<std::ptrdiff_t>(topLine_), static_cast<int>(std::min(pos, 1LL << 30)));
}

void TextView::SetFont(HFONT font) {
    font_ = font;
    HDC dc = GetDC(Hwnd());
    HGDIOBJ old = SelectObject(dc, font_ ? font_ : GetStockObject(SYSTEM_FIXED_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(Hwnd(), dc);
    lineHeight_ = std::max<int>(1, metrics.tmHeight);
    charWidth_ = std::max<int>(1, metrics.tmAveCharWidth);
    if (focused_) {
        DestroyCaret();
        CreateCaret(Hwnd(), nullptr, 1, lineHeight_);
        ShowCaret(Hwnd());
    }
    Refresh();
}

void TextView::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Hwnd(), &paint);
    RECT client{};
    GetClientRect(Hwnd(), &client);
    HGDIOBJ old = SelectObject(dc, font_ ? font_ : GetStockObject(SYSTEM_FIXED_FONT));
    const std::size_t lines = model_.Buffer().LineCount();
    int y = 0;
    for (std::size_t line = topLine_; y < client.bottom; ++line, y += lineHeight_) {
        if (y + lineHeight_ <= paint.rcPaint.top)
            continue;
        if (line < lines) {
            PaintLine(dc, line, y, client.right);
        } else {
            RECT rest{0, y, client.right, client.bottom};
            SetBkColor(dc, kWhite);
            ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rest, nullptr, 0, nullptr);
            break;
        }
    }
    SelectObject(dc, old);
    EndPaint(Hwnd(), &paint);
}

// Only the columns in view are laid out: tabs become blanks, every character
// gets one column's width, and the selected run is drawn in the system's
// highlight colours (also when the view has no focus, as ES_NOHIDESEL shows it).
void TextView::PaintLine(HDC dc, std::size_t line, int y, int width) {
    const TextBuffer& text = model_.Buffer();
    const std::size_t end = text.LineEnd(line);
    const std::size_t firstColumn = static_cast<std::size_t>(std::max(0, xOffset_ - kMargin)) / charWidth_;
    const std::size_t columns = static_cast<std::size_t>(width / charWidth_ + 2);
    const std::size_t selStart = model_.SelStart(), selEnd = model_.SelEnd();
    std::wstring shown;
    std::vector<bool> selected;
    const LineColumns::Spot first = model_.SpotAt(line, firstColumn);  // not a walk from the line's start
    std::size_t column = first.column;
    for (std::size_t i = first.pos; i < end && column < firstColumn + columns; ++i) {
        const wchar_t c = text.At(i);
        const std::size_t next = c == L'\t' ? column + kTabColumns - column % kTabColumns : column + 1;
        for (std::size_t k = column; k < next; ++k) {
            if (k < firstColumn)
                continue;
            shown.push_back(c == L'\t' ? L' ' : c);
            selected.push_back(i >= selStart && i < selEnd);
        }
        column = next;
    }
    const int x0 = kMargin + static_cast<int>(firstColumn) * charWidth_ - xOffset_;
    RECT left{0, y, std::max(0, x0), y + lineHeight_};
    SetBkColor(dc, kWhite);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &left, nullptr, 0, nullptr);
    std::vector<INT> advances(shown.size(), charWidth_);
    std::size_t run = 0;
    while (run < shown.size()) {
        std::size_t stop = run;
        while (stop < shown.size() && selected[stop] == selected[run])
            ++stop;
        const bool highlight = selected[run];
        SetBkColor(dc, highlight ? GetSysColor(COLOR_HIGHLIGHT) : kWhite);
        SetTextColor(dc, highlight ? GetSysColor(COLOR_HIGHLIGHTTEXT) : kBlack);
        const int x = x0 + static_cast<int>(run) * charWidth_;
        RECT box{x, y, x + static_cast<int>(stop - run) * charWidth_, y + lineHeight_};
        ExtTextOutW(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &box, shown.data() + run,
                    static_cast<UINT>(stop - run), advances.data());
        run = stop;
    }
    RECT rest{x0 + static_cast<int>(shown.size()) * charWidth_, y, width, y + lineHeight_};
    if (rest.left < rest.right) {
        SetBkColor(dc, kWhite);
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rest, nullptr, 0, nullptr);
    }
}

std::size_t TextView::PosFromPoint(int x, int y) const {
    const TextBuffer& text = model_.Buffer();
    long long line = static_cast<long long>(topLine_) + (y < 0 ? -1 : y / lineHeight_);
    line = std::clamp(line, 0LL, static_cast<long long>(text.LineCount() - 1));
    const int column = std::max(0, (x - kMargin + xOffset_ + charWidth_ / 2) / charWidth_);
    return model_.PosAtColumn(static_cast<std::size_t>(line), static_cast<std::size_t>(column));
}

void TextView::OnKeyDown(WPARAM key) {
    const bool shift = KeyDown(VK_SHIFT), ctrl = KeyDown(VK_CONTROL);
    const std::size_t page = VisibleLines();
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
            const auto top = static_cast<std::ptrdiff_t>(topLine_);
            const auto by = static_cast<std::ptrdiff_t>(page);
            ScrollTo(up ? top - by : top + by, xOffset_);
            break;
        }
        case VK_DELETE:
            if (shift) {
                SendMessageW(Hwnd(), WM_CUT, 0, 0);
                return;
            }
            Changed(model_.DeleteForward());
            break;
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
    const std::size_t to = text.LineOf(model_.Caret());
    typed_ = Typed{true, std::min(from, to), std::max(from, to)};
    ScrollCaret();
    Changed(changed);
    typed_ = Typed{};
}

void TextView::OnMouse(UINT message, WPARAM keys, int x, int y) {
    switch (message) {
        case WM_LBUTTONDOWN:
            SetFocus(Hwnd());
            SetCapture(Hwnd());
            dragging_ = true;
            {
                const std::size_t pos = PosFromPoint(x, y);
                model_.Select((keys & MK_SHIFT) ? model_.Anchor() : pos, pos);
            }
            break;
        case WM_LBUTTONDBLCLK:
            model_.SelectWordAt(PosFromPoint(x, y));
            break;
        case WM_MOUSEMOVE:
            if (!dragging_ || !(keys & MK_LBUTTON))
                return;
            model_.Select(model_.Anchor(), PosFromPoint(x, y));
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

void TextView::OnContextMenu(int x, int y) {
    SetFocus(Hwnd());
    if (x == -1 && y == -1) {  // from the keyboard: at the caret
        POINT caret{};
        GetCaretPos(&caret);
        ClientToScreen(Hwnd(), &caret);
        x = caret.x;
        y = caret.y + lineHeight_;
    }
    const bool selection = model_.SelStart() != model_.SelEnd();
    HMENU menu = CreatePopupMenu();
    const auto add = [&](UINT id, const wchar_t* text, bool enabled) {
        AppendMenuW(menu, MF_STRING | (enabled ? 0 : MF_GRAYED), id, text);
    };
    add(kMenuUndo, L"&Undo", model_.CanUndo());
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    add(kMenuCut, L"Cu&t", selection);
    add(kMenuCopy, L"&Copy", selection);
    add(kMenuPaste, L"&Paste", IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE);
    add(kMenuDelete, L"&Delete", selection);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    add(kMenuSelectAll, L"Select &All", model_.Length() > 0);
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0, Hwnd(), nullptr));
    DestroyMenu(menu);
    switch (chosen) {
        case kMenuUndo:
            Undo();
            break;
        case kMenuCut:
            SendMessageW(Hwnd(), WM_CUT, 0, 0);
            break;
        case kMenuCopy:
            SendMessageW(Hwnd(), WM_COPY, 0, 0);
            break;
        case kMenuPaste:
            SendMessageW(Hwnd(), WM_PASTE, 0, 0);
            break;
        case kMenuDelete:
            ReplaceSelection(L"");
            break;
        case kMenuSelectAll:
            SetSelection(0, model_.Length());
            break;
        default:
            break;
    }
}

bool TextView::CopyToClipboard() {
    const std::wstring text = model_.SelectedText();
    if (text.empty() || !OpenClipboard(Hwnd()))
        return false;
    bool done = false;
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* target = GlobalLock(memory)) {
            std::memcpy(target, text.c_str(), bytes);
            GlobalUnlock(memory);
            done = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (!done)
            GlobalFree(memory);
    }
    CloseClipboard();
    return done;
}

void TextView::PasteFromClipboard() {
    if (!OpenClipboard(Hwnd()))
        return;
    std::wstring text;
    bool any = false;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text.assign(chars, wcsnlen(chars, GlobalSize(data) / sizeof(wchar_t)));
            any = true;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    if (any)
        ReplaceSelection(text);
}
