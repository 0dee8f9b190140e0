// The text view's geometry and rows: the gutter, points and positions both
// ways, scrolling to show a position, which rows a rectangle covers, and the
// runs of a painted row (tabs, selection, colours, a column deep in a long line);
// and twips to pixels for the window layouts.
#include <gtest/gtest.h>

#include "editor/view_layout.h"
#include "platform/twips.h"

namespace {

EditModel With(const std::wstring& text, std::size_t anchor = 0, std::size_t caret = 0) {
    EditModel model;
    model.SetText(text);
    model.Select(anchor, caret);
    return model;
}

// Runs as "text|sel|kind" pieces (kind as the syntax test writes it: . plain,
// n number, r register, i instruction), to compare a whole row at once.
std::vector<std::string> Runs(const RowLayout& row) {
    std::vector<std::string> out;
    for (const RowRun& r : row.runs)
        out.push_back(std::string(row.text.begin() + r.first, row.text.begin() + r.first + r.count) +
                      (r.selected ? "|sel|" : "||") + ".csnridl"[static_cast<int>(r.kind)]);
    return out;
}

TEST(ViewLayout, GeometryOfRowsPointsAndScrolling) {
    const ViewMetrics m{10, 5, 200, 100, GutterWidth(12, 5)};
    EXPECT_EQ(m.gutter, 25);                // three digits and a column either side
    EXPECT_EQ(GutterWidth(123456, 5), 40);  // six digits
    EXPECT_EQ(PageLines(m), 10u);
    EXPECT_EQ(RowsBetween(m, 15, 31).first, 1u);  // rows 1 to 3
    EXPECT_EQ(RowsBetween(m, 15, 31).end, 4u);

    std::wstring text;
    for (int i = 0; i < 40; ++i)
        text += L"line\tx\r\n";
    const EditModel model = With(text);
    const ViewPosition view{3, 5};
    const std::size_t pos = model.Buffer().LineStart(5) + 5;  // the x after the tab: column 8
    const ViewPoint at = PointOf(model, pos, view, m);
    EXPECT_EQ(at.x, 25 + kTextMargin + 8 * 5 - 5);
    EXPECT_EQ(at.y, 20);
    EXPECT_EQ(PositionAt(model, view, m, static_cast<int>(at.x) + 1, static_cast<int>(at.y) + 3), pos);
    EXPECT_EQ(PositionAt(model, view, m, 3, 25), model.Buffer().LineStart(5));  // the gutter: line start

    EXPECT_EQ(Showing(model, model.Buffer().LineStart(20), view, m).topLine, 11u);        // least move
    EXPECT_EQ(Showing(model, model.Buffer().LineStart(30), view, m, true).topLine, 25u);  // centred
    EXPECT_EQ(Showing(model, model.Buffer().LineStart(4), view, m).topLine, 3u);          // in sight: stays
    EXPECT_EQ(Clamped(model, ViewPosition{100, 0}, m).topLine, 31u);  // 41 lines, 10 in sight

    // Sideways: a column past the right edge scrolls a quarter of the width beyond it;
    // one whose right side is exactly at the edge is in sight.
    const EditModel wide = With(std::wstring(100, L'a'));
    const int right = kTextMargin + 41 * 5 - (200 - 25);  // column 40's right side at the edge
    EXPECT_EQ(Showing(wide, 40, ViewPosition{0, 0}, m).xOffset, right + 43);
    EXPECT_EQ(Showing(wide, 40, ViewPosition{0, right}, m).xOffset, right);
}

TEST(ViewLayout, RowRunsSplitBySelectionAndColourAndStartDeepInALine) {
    const EditModel model = With(L"\tmov ax, 1 ; x\r\nend", 3, 6);
    SyntaxStates syntax;
    RowLayout row;
    LayOutRow(model, 0, 6, 10, &syntax, row);  // from column 6: two blanks of the tab, then text
    EXPECT_EQ(Runs(row),
              (std::vector<std::string>{"  ||.", "mo||i", "v|sel|i", " |sel|.", "a|sel|r", "x||r", ", ||."}));
    EXPECT_EQ(row.text.size(), 10u);
    LayOutRow(model, 0, 0, 80, nullptr, row);
    EXPECT_EQ(Runs(row), (std::vector<std::string>{"        mo||.", "v a|sel|.", "x, 1 ; x||."}));
    LayOutRow(model, 1, 0, 80, &syntax, row);  // the same row object: nothing of the last line's runs
    EXPECT_EQ(Runs(row), (std::vector<std::string>{"end||d"}));

    // A column far into a long line, found from the caret without a walk from the line's start.
    std::wstring line(100000, L'a');
    line[70000] = L'b';
    const EditModel lon = With(line, 90000, 90000);
    LayOutRow(lon, 0, 69999, 3, nullptr, row);
    EXPECT_EQ(row.text, L"aba");
    LayOutRow(lon, 0, 99999, 5, nullptr, row);
    EXPECT_EQ(row.text, L"a");
}

TEST(Twips, FifteenTwipsAPixelAtNinetySixDpi) {
    EXPECT_EQ(TwipsToPixels(9255, 96), 617);
    EXPECT_EQ(TwipsToPixels(400, 96), 27);  // 26.67 rounds to 27
    EXPECT_EQ(TwipsToPixels(-2000, 96), -133);
    EXPECT_EQ(TwipsToPixels(5820, 144), 582);  // 150 % scaling
    EXPECT_EQ(PixelsToTwips(617, 96), 9255);
    EXPECT_EQ(PointsToFontHeight(9.75, 96), -13);
    EXPECT_EQ(PointsToFontHeight(11.25, 96), -15);
}

}  // namespace
