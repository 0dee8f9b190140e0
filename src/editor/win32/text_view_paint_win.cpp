// The text view's painting: only the rows of the update rectangle, with the
// line numbers in the gutter and the colours of the syntax.
#include <algorithm>

#include "editor/win32/text_view_win.h"
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

void FillRect(HDC dc, const RECT& box, COLORREF colour) {
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &box, nullptr, 0, nullptr);
}

}  // namespace

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
