// The text view: its window, what follows the document, scrolling and the
// caret, and the commands it carries out (Find, Go to line, the clipboard).
// Input, painting and the edit control's messages are in the files beside it.
#include "editor/win32/text_view_win.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/win32/clipboard_win.h"
#include "platform/win32/handles_win.h"

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
