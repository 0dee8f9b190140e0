#pragma once
// The text view's geometry and the content of its rows, apart from the
// window: which lines are in sight, which rows a rectangle covers, the
// position under a point and the point of a position, where to scroll to
// show a position, and the columns of a row with their selected and coloured
// runs. Every character takes one column, a tab runs to the next multiple of
// kTabColumns; the line numbers take a gutter left of the text, which does
// not scroll sideways.
#include <cstddef>
#include <string>
#include <vector>

#include "editor/asm_syntax.h"
#include "editor/edit_model.h"

constexpr int kTextMargin = 2;  // pixels left of the first column, as the edit control leaves

struct ViewMetrics {
    int lineHeight = 16, charWidth = 8;
    int width = 0, height = 0;  // the client area
    int gutter = 0;             // pixels taken by the line numbers; 0 without them
};

struct ViewPosition {
    std::size_t topLine = 0;
    int xOffset = 0;  // pixels of text scrolled out on the left
    bool operator==(const ViewPosition& o) const { return topLine == o.topLine && xOffset == o.xOffset; }
};

// The pixels of the widest line and room for the caret after it.
int ScrollWidth(const EditModel& model, const ViewMetrics& m);
// Whole rows that fit; at least one.
std::size_t PageLines(const ViewMetrics& m);
// The width of the gutter for so many lines: the digits of the last number, a
// column before and after them; never fewer than three digits, so that it
// does not change while a short source grows.
int GutterWidth(std::size_t lineCount, int charWidth);
// The rows (counted from the top of the view) that the pixel rows [top, bottom) touch.
struct RowRange {
    std::size_t first, end;
};
RowRange RowsBetween(const ViewMetrics& m, int top, int bottom);

// Keeps the top line and the offset within what the text allows.
ViewPosition Clamped(const EditModel& model, ViewPosition view, const ViewMetrics& m);
// The scroll that brings pos into view: the least vertical move, or, with
// centre, its line in the middle when it is out of sight; sideways the view
// jumps a quarter of its width at a time, as the edit control does.
ViewPosition Showing(const EditModel& model,
                     std::size_t pos,
                     ViewPosition view,
                     const ViewMetrics& m,
                     bool centre = false);

// The client point of a position's top left corner (may be far outside the view).
struct ViewPoint {
    long long x, y;
};
ViewPoint PointOf(const EditModel& model, std::size_t pos, ViewPosition view, const ViewMetrics& m);
// The position nearest to a client point: a point in the gutter means the line's start.
std::size_t PositionAt(const EditModel& model, ViewPosition view, const ViewMetrics& m, int x, int y);

// The columns [firstColumn, firstColumn + columns) of a line as painted.
struct RowRun {
    std::size_t first, count;  // indices into RowLayout::text
    bool selected;
    SyntaxKind kind;
};
struct RowLayout {
    std::size_t firstColumn = 0;
    std::wstring text;  // one character per column, tabs as blanks
    std::vector<RowRun> runs;
    struct Scratch {  // kept from row to row, so that laying out a row allocates nothing
        std::vector<RowRun> selection;
        std::vector<SyntaxSpan> spans;
    } scratch;
};
// syntax null: no colours. Colouring looks back at most kSyntaxLookBack
// characters before the first column, so a very long line costs its visible part.
constexpr std::size_t kSyntaxLookBack = 4096;
void LayOutRow(const EditModel& model,
               std::size_t line,
               std::size_t firstColumn,
               std::size_t columns,
               SyntaxStates* syntax,
               RowLayout& row);
