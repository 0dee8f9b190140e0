// Columns on long lines come from block sums kept through edits: they must
// equal a walk from the line's start, whatever was typed, deleted or undone.
#include <gtest/gtest.h>

#include <random>

#include "editor/edit_model.h"

namespace {

// The column at the end of text[from, to), walked the plain way.
std::size_t Walked(const std::wstring& text, std::size_t from, std::size_t to) {
    std::size_t column = 0;
    for (std::size_t i = from; i < to; ++i)
        column = text[i] == L'\t' ? (column / kTabColumns + 1) * kTabColumns : column + 1;
    return column;
}

TEST(EditModelColumns, LongLinesAgreeWithAWalkThroughEveryKindOfEdit) {
    std::mt19937 random(7);
    const std::wstring pieces[] = {L"x", L"\t", L"mov ax, 1", L"\r\n", L"", L"\u0416\t;"};
    std::wstring start = L"short\tline\r\n";
    for (int i = 0; i < 3000; ++i)  // a long line with tabs, then one without
        start += (random() % 5 == 0) ? L"\t" : L"ab";
    start += L"\r\n" + std::wstring(5000, L'q') + L"\r\nend";
    EditModel model;
    model.SetText(start);
    for (int step = 0; step < 300; ++step) {
        const std::size_t length = model.Length();
        const std::size_t at = random() % (length + 1);
        const std::size_t to = std::min(length, at + (random() % 4 == 0 ? random() % 3000 : random() % 3));
        model.Select(at, to);
        if (step % 37 == 36)
            model.Undo();
        else
            model.ReplaceSelection(pieces[random() % 6]);

        const std::wstring text = model.Text();
        const TextBuffer& buffer = model.Buffer();
        for (std::size_t line = 0; line < buffer.LineCount(); ++line) {
            const std::size_t begin = buffer.LineStart(line), end = buffer.LineEnd(line);
            const std::size_t width = Walked(text, begin, end);
            EXPECT_GE(model.WidestLine(), line == buffer.LineOf(model.Caret()) ? width : 0);
            for (std::size_t k = 0; k < 6; ++k) {
                std::size_t pos = begin + (end - begin) * k / 5;
                if (k % 2 && pos > begin)
                    --pos;
                ASSERT_EQ(model.ColumnOf(pos), Walked(text, begin, pos)) << step << " line " << line;
                const std::size_t column = width * k / 5 + k % 3;
                const LineColumns::Spot spot = model.SpotAt(line, column);
                ASSERT_EQ(spot.column, Walked(text, begin, spot.pos)) << step;
                ASSERT_TRUE(spot.pos == end ? column >= width : column < Walked(text, begin, spot.pos + 1));
                const std::size_t near = model.PosAtColumn(line, column);
                ASSERT_TRUE(near == spot.pos || near == spot.pos + 1) << step;
            }
        }
    }
}

}  // namespace
