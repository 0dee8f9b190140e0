#include "editor/view_layout.h"

#include <algorithm>

namespace {

int TextWidth(const ViewMetrics& m) {
    return std::max(0, m.width - m.gutter);
}

// The character that covers a column, found from the caret when it is on the
// line (the model keeps the caret's column cheaply), else from the line's start.
struct Place {
    std::size_t pos, column;
};
Place PlaceOfColumn(const EditModel& model, std::size_t line, std::size_t column) {
    // The model's column sums find it in about a block, whatever the line's length.
    const LineColumns::Spot spot = model.SpotAt(line, column);
    return {spot.pos, spot.column};
}

}  // namespace

// In steps of 16 columns, so that typing at the end of the widest line does
// not move the limit at every key.
int ScrollWidth(const EditModel& model, const ViewMetrics& m) {
    const std::size_t columns = (model.WidestLine() / 16 + 1) * 16;
    return kTextMargin + static_cast<int>(std::min<std::size_t>(columns, 1u << 24)) * m.charWidth;
}

std::size_t PageLines(const ViewMetrics& m) {
    return static_cast<std::size_t>(std::max(1, m.height / std::max(1, m.lineHeight)));
}

int GutterWidth(std::size_t lineCount, int charWidth) {
    int digits = 1;
    for (std::size_t n = lineCount; n >= 10; n /= 10)
        ++digits;
    return (std::max(digits, 3) + 2) * charWidth;
}

RowRange RowsBetween(const ViewMetrics& m, int top, int bottom) {
    const int h = std::max(1, m.lineHeight);
    top = std::max(0, top);
    if (bottom <= top)
        return {0, 0};
    return {static_cast<std::size_t>(top / h), static_cast<std::size_t>((bottom + h - 1) / h)};
}

ViewPosition Clamped(const EditModel& model, ViewPosition view, const ViewMetrics& m) {
    const std::size_t lines = model.Buffer().LineCount(), page = PageLines(m);
    view.topLine = std::min(view.topLine, lines > page ? lines - page : 0);
    view.xOffset = std::clamp(view.xOffset, 0, std::max(0, ScrollWidth(model, m) - TextWidth(m)));
    return view;
}

ViewPosition Showing(const EditModel& model,
                     std::size_t pos,
                     ViewPosition view,
                     const ViewMetrics& m,
                     bool centre) {
    const std::size_t line = model.Buffer().LineOf(pos), page = PageLines(m);
    if (line < view.topLine || line >= view.topLine + page) {
        if (centre)
            view.topLine = line > page / 2 ? line - page / 2 : 0;
        else
            view.topLine = line < view.topLine ? line : line - page + 1;
    }
    const int width = TextWidth(m);
    const int x =
        kTextMargin + static_cast<int>(std::min<std::size_t>(model.ColumnOf(pos), 1u << 24)) * m.charWidth;
    const int quarter = std::max(m.charWidth, width / 4);
    if (x < view.xOffset + kTextMargin)
        view.xOffset = std::max(0, x - quarter);
    if (x + m.charWidth > view.xOffset + width)
        view.xOffset = x + m.charWidth - width + quarter;
    const std::size_t lines = model.Buffer().LineCount();
    view.topLine = std::min(view.topLine, lines > page ? lines - page : 0);
    return view;
}

ViewPoint PointOf(const EditModel& model, std::size_t pos, ViewPosition view, const ViewMetrics& m) {
    const long long row =
        static_cast<long long>(model.Buffer().LineOf(pos)) - static_cast<long long>(view.topLine);
    const long long x =
        m.gutter + kTextMargin + static_cast<long long>(model.ColumnOf(pos)) * m.charWidth - view.xOffset;
    return {x, row * m.lineHeight};
}

std::size_t PositionAt(const EditModel& model, ViewPosition view, const ViewMetrics& m, int x, int y) {
    const TextBuffer& text = model.Buffer();
    long long line = static_cast<long long>(view.topLine) + (y < 0 ? -1 : y / std::max(1, m.lineHeight));
    line = std::clamp(line, 0LL, static_cast<long long>(text.LineCount() - 1));
    const int column =
        x < m.gutter
            ? 0
            : std::max(0, (x - m.gutter - kTextMargin + view.xOffset + m.charWidth / 2) / m.charWidth);
    return model.PosAtColumn(static_cast<std::size_t>(line), static_cast<std::size_t>(column));
}

namespace {

// The columns of a line with runs split by the selection alone. True when the
// line ended within them.
bool LayOutColumns(const EditModel& model,
                   std::size_t line,
                   std::size_t firstColumn,
                   std::size_t columns,
                   std::wstring& shown,
                   std::vector<RowRun>& runs) {
    shown.clear();
    runs.clear();
    const TextBuffer& text = model.Buffer();
    const std::size_t end = text.LineEnd(line);
    Place at = PlaceOfColumn(model, line, firstColumn);
    const std::size_t selStart = model.SelStart(), selEnd = model.SelEnd();
    const std::size_t lastColumn = firstColumn + columns;
    for (; at.pos < end && at.column < lastColumn; ++at.pos) {
        const wchar_t c = text.At(at.pos);
        const bool selected = at.pos >= selStart && at.pos < selEnd;
        if (runs.empty() || runs.back().selected != selected)
            runs.push_back({shown.size(), 0, selected, SyntaxKind::Plain});
        if (c != L'\t') {
            shown.push_back(c);
            ++runs.back().count;
            ++at.column;
            continue;
        }
        const std::size_t next = at.column + ColumnAdvance(c, at.column);
        const std::size_t from = std::max(at.column, firstColumn), to = std::min(next, lastColumn);
        shown.append(to - from, L' ');
        runs.back().count += to - from;
        at.column = next;
    }
    return at.pos >= end;
}

// The runs of [first, first + count) of a laid-out row, split by its
// selection runs and by the coloured spans (in the row's own indices).
void SplitRuns(const std::vector<RowRun>& selection,
               std::size_t size,
               const std::vector<SyntaxSpan>& spans,
               std::size_t first,
               std::size_t count,
               std::vector<RowRun>& runs) {
    runs.clear();
    const std::size_t stop = std::min(size, first + count);
    std::size_t span = 0, sel = 0;
    for (std::size_t p = first; p < stop;) {
        while (span < spans.size() && spans[span].end <= p)
            ++span;
        while (selection[sel].first + selection[sel].count <= p)
            ++sel;
        const bool inSpan = span < spans.size() && spans[span].begin <= p;
        const SyntaxKind kind = inSpan ? spans[span].kind : SyntaxKind::Plain;
        const std::size_t kindEnd =
            span < spans.size() ? (inSpan ? spans[span].end : spans[span].begin) : stop;
        const std::size_t end = std::min({stop, kindEnd, selection[sel].first + selection[sel].count});
        const bool selected = selection[sel].selected;
        if (!runs.empty() && runs.back().selected == selected && runs.back().kind == kind)
            runs.back().count += end - p;
        else
            runs.push_back({p - first, end - p, selected, kind});
        p = end;
    }
}

}  // namespace

// With colours the row is laid out from the line's start (or kSyntaxLookBack
// columns before the first one) to a little past the last column, so that a
// word cut by either edge keeps its colour, and classified as it is laid out:
// tabs are blanks to the classifier as well.
void LayOutRow(const EditModel& model,
               std::size_t line,
               std::size_t firstColumn,
               std::size_t columns,
               SyntaxStates* syntax,
               RowLayout& row) {
    row.firstColumn = firstColumn;
    if (!syntax) {
        LayOutColumns(model, line, firstColumn, columns, row.text, row.runs);
        return;
    }
    const std::size_t from = firstColumn > kSyntaxLookBack ? firstColumn - kSyntaxLookBack : 0;
    RowLayout::Scratch& scratch = row.scratch;
    const bool whole =
        LayOutColumns(model, line, from, firstColumn - from + columns + 32, row.text, scratch.selection);
    scratch.spans.clear();
    const TextBuffer& text = model.Buffer();
    const BlockState after = ClassifyLine(row.text, 0, from == 0, syntax->At(text, line), scratch.spans);
    if (from == 0 && whole)
        syntax->Learn(line, after);
    const std::size_t skip = std::min(firstColumn - from, row.text.size());
    SplitRuns(scratch.selection, row.text.size(), scratch.spans, skip, columns, row.runs);
    row.text.resize(std::min(row.text.size(), skip + columns));
    row.text.erase(0, skip);
}
