#include "editor/win32/text_view_win.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/win32/clipboard_win.h"
#include "platform/win32/handles_win.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGutterBack = RGB(240, 240, 240);
constexpr COLORREF kGutterText = RGB(128, 128, 128);

COLORREF ColourOf(SyntaxKind kind) {
    switch (kind) {
        case SyntaxKind::Comment:
            return RGB(0, 128, 0);
        case SyntaxKind::String:
            return RGB(160, 0, 160);
        case SyntaxKind::Number:
            return RGB(210, 90, 0);
        case SyntaxKind::Register:
            return RGB(150, 0, 0);
        case SyntaxKind::Instruction:
            return RGB(0, 0, 210);
        case SyntaxKind::Directive:
            return RGB(0, 128, 128);
        case SyntaxKind::Label:
            return RGB(110, 70, 0);
        case SyntaxKind::Plain:
            break;
    }
    return kBlack;
}

bool KeyDown(int key) {
    return GetKeyState(key) < 0;
}

void FillRect(HDC dc, const RECT& box, COLORREF colour) {
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &box, nullptr, 0, nullptr);
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
    return hwnd;
}

TextView::TextView(Document& document) : document_(document), model_(document.Model()) {
    document_.Listen(*this);
}

// Every change of the document ends here, whoever made it: the colours below
// the edited lines are found again, an edit or a selection is brought into
// view, and the view is refreshed once.
void TextView::DocumentChanged(DocumentChange change, std::size_t fromLine) {
    switch (change) {
        case DocumentChange::Path:
            return;
        case DocumentChange::Replaced:
            syntax_.Forget(0);
            view_ = ViewPosition{};
            break;
        case DocumentChange::Edited:
            syntax_.Forget(std::min(fromLine, model_.Buffer().LineOf(model_.SelStart())));
            ShowPosition(model_.Caret());
            break;
        case DocumentChange::Selection:
            ShowPosition(model_.Caret());
            break;
    }
    Refresh();
}

void TextView::ReplaceSelection(const std::wstring& text, bool undoable) {
    const std::size_t from = EditStarts();
    document_.Edited(from, model_.ReplaceSelection(text, undoable));
}

void TextView::SetSelection(std::size_t anchor, std::size_t caret) {
    model_.Select(anchor, caret);
    Refresh();
}

void TextView::ScrollCaret() {
    if (!Hwnd())
        return;
    ShowPosition(model_.Caret());
    Refresh();
}

// Every edit starts at the selection's start before it or at the one after
// it (an undo puts back text where the caret lands).
std::size_t TextView::EditStarts() const {
    return model_.Buffer().LineOf(model_.SelStart());
}

ViewMetrics TextView::Metrics() const {
    ViewMetrics m;
    m.lineHeight = lineHeight_;
    m.charWidth = charWidth_;
    RECT client{};
    if (Hwnd())
        GetClientRect(Hwnd(), &client);
    m.width = client.right;
    m.height = client.bottom;
    m.gutter = settings_.lineNumbers ? GutterWidth(model_.Buffer().LineCount(), charWidth_) : 0;
    return m;
}

// A key typed within the lines in view, that neither scrolled nor changed the
// number of lines (nor the width of the gutter), repaints only the lines it
// edited; anything else repaints the whole view.
void TextView::Refresh() {
    if (!Hwnd())
        return;
    UpdateScrollBars();
    PlaceCaret();
    const ViewMetrics m = Metrics();
    const std::size_t lines = model_.Buffer().LineCount();
    if (typed_.edited && view_ == shown_.view && lines == shown_.lines && m.gutter == shown_.gutter) {
        const auto row = [&](std::size_t line) {
            const long long y =
                (static_cast<long long>(line) - static_cast<long long>(view_.topLine)) * lineHeight_;
            return static_cast<LONG>(std::clamp(y, 0LL, static_cast<long long>(m.height)));
        };
        RECT rows{0, row(typed_.from), m.width, row(typed_.to + 1)};
        if (typed_.to == static_cast<std::size_t>(-1))
            rows.bottom = m.height;
        InvalidateRect(Hwnd(), &rows, FALSE);
        return;
    }
    shown_ = Shown{view_, lines, m.gutter};
    InvalidateRect(Hwnd(), nullptr, FALSE);
}

void TextView::UpdateScrollBars() {
    const ViewMetrics m = Metrics();
    view_ = Clamped(model_, view_, m);
    const std::size_t lines = model_.Buffer().LineCount();
    SetBar(SB_VERT, static_cast<int>(lines - 1), static_cast<UINT>(PageLines(m)),
           static_cast<int>(view_.topLine));
    SetBar(SB_HORZ, ScrollWidth(model_, m) - 1, static_cast<UINT>(std::max(0, m.width - m.gutter)),
           view_.xOffset);
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
    const ViewMetrics m = Metrics();
    const ViewPoint at = PointOf(model_, model_.Caret(), view_, m);
    // Far outside the window the caret is simply not seen; over the gutter it is hidden.
    const long long x = at.x < m.gutter ? -100000LL : at.x;
    SetCaretPos(static_cast<int>(std::clamp(x, -100000LL, 100000LL)),
                static_cast<int>(std::clamp(at.y, -100000LL, 100000LL)));
}

void TextView::ShowPosition(std::size_t pos, bool centre) {
    if (Hwnd())
        view_ = Showing(model_, pos, view_, Metrics(), centre);
}

void TextView::ScrollTo(ViewPosition view) {
    view_ = Clamped(model_, view, Metrics());
    Refresh();
}

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

void TextView::SetFont(HFONT font) {
    font_ = font;
    TEXTMETRICW metrics{};
    {
        ScopedWindowDC dc(Hwnd());
        ScopedSelection selected(dc.Get(), font_ ? font_ : GetStockObject(SYSTEM_FIXED_FONT));
        GetTextMetricsW(dc.Get(), &metrics);
    }
    lineHeight_ = std::max<int>(1, metrics.tmHeight);
    charWidth_ = std::max<int>(1, metrics.tmAveCharWidth);
    if (focused_) {
        DestroyCaret();
        CreateCaret(Hwnd(), nullptr, 1, lineHeight_);
        ShowCaret(Hwnd());
    }
    Refresh();
}

// Only the rows that the update rectangle touches are painted. The
// background of those rows is filled at once and the text drawn over it, one
// call per line number and per colour of a row.
void TextView::OnPaint() {
    ScopedPaint paint(Hwnd());
    const HDC dc = paint.Get();
    ScopedSelection font(dc, font_ ? font_ : GetStockObject(SYSTEM_FIXED_FONT));
    const ViewMetrics m = Metrics();
    const RowRange rows = RowsBetween(m, paint.Area().top, paint.Area().bottom);
    const int top = static_cast<int>(rows.first) * lineHeight_;
    const int bottom = std::max<int>(paint.Area().bottom, static_cast<int>(rows.end) * lineHeight_);
    FillRect(dc, RECT{m.gutter, top, m.width, bottom}, kWhite);
    const std::size_t lines = model_.Buffer().LineCount();
    const std::size_t end = std::min(rows.end, lines > view_.topLine ? lines - view_.topLine : 0);
    SetBkMode(dc, TRANSPARENT);
    if (m.gutter > 0) {
        FillRect(dc, RECT{0, top, m.gutter, bottom}, kGutterBack);
        SetTextColor(dc, kGutterText);
        advances_.assign(24, charWidth_);
        for (std::size_t r = rows.first; r < end; ++r) {
            const std::wstring number = std::to_wstring(view_.topLine + r + 1);
            const int x = m.gutter - static_cast<int>(number.size() + 1) * charWidth_;
            ExtTextOutW(dc, x, static_cast<int>(r) * lineHeight_, 0, nullptr, number.c_str(),
                        static_cast<UINT>(number.size()), advances_.data());
        }
    }
    for (std::size_t r = rows.first; r < end; ++r)
        PaintRow(dc, view_.topLine + r, static_cast<int>(r) * lineHeight_);
}

// The columns in view over the filled background: the selected runs in the
// system's highlight colours (also when the view has no focus, as
// ES_NOHIDESEL shows it), the others one colour at a time, each drawn in one
// call with blanks where the other colours are.
void TextView::PaintRow(HDC dc, std::size_t line, int y) {
    const ViewMetrics m = Metrics();
    const std::size_t firstColumn = static_cast<std::size_t>(view_.xOffset) / charWidth_;
    const std::size_t columns = static_cast<std::size_t>(m.width / charWidth_ + 2);
    LayOutRow(model_, line, firstColumn, columns, settings_.colourSyntax ? &syntax_ : nullptr, row_);
    const int x0 = m.gutter + kTextMargin + static_cast<int>(firstColumn) * charWidth_ - view_.xOffset;
    advances_.assign(row_.text.size(), charWidth_);
    const RECT clip{m.gutter, y, m.width, y + lineHeight_};
    bool drawn[8] = {};
    for (const RowRun& run : row_.runs) {
        const int x = x0 + static_cast<int>(run.first) * charWidth_;
        if (run.selected) {
            SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
            SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            RECT box{std::max<int>(x, clip.left), y, x + static_cast<int>(run.count) * charWidth_,
                     y + lineHeight_};
            ExtTextOutW(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &box, row_.text.data() + run.first,
                        static_cast<UINT>(run.count), advances_.data());
            continue;
        }
        const auto kind = static_cast<std::size_t>(run.kind);
        if (drawn[kind])
            continue;
        drawn[kind] = true;
        // Every unselected run of this colour, from this one to the row's end.
        shown_text_.assign(row_.text.size() - run.first, L' ');
        std::size_t last = 0;
        for (const RowRun& same : row_.runs)
            if (!same.selected && same.kind == run.kind && same.first >= run.first) {
                std::copy_n(row_.text.begin() + static_cast<std::ptrdiff_t>(same.first), same.count,
                            shown_text_.begin() + static_cast<std::ptrdiff_t>(same.first - run.first));
                last = same.first + same.count - run.first;
            }
        SetTextColor(dc, ColourOf(run.kind));
        ExtTextOutW(dc, x, y, ETO_CLIPPED, &clip, shown_text_.data(), static_cast<UINT>(last),
                    advances_.data());
    }
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

void TextView::SetViewSettings(const ViewSettings& settings) {
    settings_ = settings;
    findOptions_.wrap = settings.findWrapAround;
    ShowPosition(model_.Caret());
    Refresh();
}

// The Find dialog starts with the selected text when that is a part of one
// line, else with what was looked for last.
void TextView::OpenFindDialog() {
    std::wstring what = model_.SelectedText();
    if (what.empty() || what.find_first_of(L"\r\n") != std::wstring::npos)
        what = findWhat_;
    findDialog_.Open(GetAncestor(Hwnd(), GA_ROOT), what, findOptions_, *this);
}

void TextView::FindNext(const std::wstring& what, const FindOptions& options) {
    findWhat_ = what;
    findOptions_ = options;
    if (options.wrap != settings_.findWrapAround) {
        settings_.findWrapAround = options.wrap;
        SendMessageW(GetParent(Hwnd()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Hwnd()), kFindWrapChanged),
                     reinterpret_cast<LPARAM>(Hwnd()));
    }
    FindNext(options.down);
}

// Down from the selection's end or up from its start; a match is selected and
// brought into view, its line in the middle when it was out of sight.
void TextView::FindNext(bool down) {
    if (findWhat_.empty()) {
        OpenFindDialog();
        return;
    }
    FindOptions options = findOptions_;
    options.down = down;
    const auto found =
        FindInText(model_.Buffer(), findWhat_, down ? model_.SelEnd() : model_.SelStart(), options);
    if (!found) {
        const std::wstring message = L"Cannot find \"" + findWhat_ + L"\".";
        MessageBoxW(findDialog_.Hwnd() ? findDialog_.Hwnd() : GetAncestor(Hwnd(), GA_ROOT), message.c_str(),
                    L"Find", MB_OK | MB_ICONINFORMATION);
        return;
    }
    model_.Select(found->start, found->end);
    ShowPosition(found->start, true);
    Refresh();
}

void TextView::GoToLine() {
    const TextBuffer& text = model_.Buffer();
    goToLineDialog_.Open(GetAncestor(Hwnd(), GA_ROOT), text.LineOf(model_.Caret()) + 1, text.LineCount(),
                         [this](std::size_t line) {
                             const TextBuffer& now = model_.Buffer();
                             line = std::min(line, now.LineCount() - 1);
                             model_.Select(now.LineStart(line), now.LineStart(line));
                             ShowPosition(model_.Caret(), true);
                             Refresh();
                         });
}

// The clipboard through the program's one path (a short retry while another
// program holds it); a clipboard that stays busy leaves the text as it was.
bool TextView::CopyToClipboard() {
    const std::wstring text = model_.SelectedText();
    if (text.empty())
        return false;
    try {
        WriteClipboardText(Hwnd(), text);
        return true;
    } catch (const PlatformError&) {
        return false;
    }
}

void TextView::PasteFromClipboard() {
    std::optional<std::wstring> text;
    try {
        text = ReadClipboardText(Hwnd());
    } catch (const PlatformError&) {
        return;
    }
    if (text)
        ReplaceSelection(*text);
}
