// The editor model: one step of undo, caret movements (CR LF one step), words,
// tab columns, and the text store's line index.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>

#include "editor/edit_model.h"
#include "editor/text_buffer.h"

namespace {

EditModel With(const std::wstring& text, std::size_t anchor = 0, std::size_t caret = 0) {
    EditModel model;
    model.SetText(text);
    model.Select(anchor, caret);
    return model;
}

void Type(EditModel& model, const std::wstring& text) {
    for (wchar_t c : text)
        model.ReplaceSelection(std::wstring(1, c));
}

// One step of undo, which a second Undo takes back, selecting what came back. Typing on, deleting on
// or back from one place, or taking back what was typed is one step; an edit elsewhere, a Delete after
// typing or a new text starts again.
TEST(EditModel, OneStepOfUndo) {
    const wchar_t* const all = L"mov ax, bx";  // all of it taken back
    const std::pair<std::function<void(EditModel&)>, const wchar_t*> runs[] = {
        {[](EditModel& m) { m.Select(4, 6), Type(m, L"cx"); }, all},
        {[](EditModel& m) { m.Select(4, 4), m.DeleteBackward(), m.DeleteBackward(), m.DeleteForward(); },
         all},
        {[](EditModel& m) { m.Select(7, 7), Type(m, L"xyz"), m.DeleteBackward(), Type(m, L"w"); }, all},
        {[](EditModel& m) {
             m.Select(7, 7), Type(m, L"xy"), m.DeleteBackward(), m.DeleteBackward(), Type(m, L"w");
         },
         all},
        {[](EditModel& m) { m.Select(7, 7), Type(m, L"xyz"), m.Select(9, 10), m.DeleteBackward(); }, all},
        {[](EditModel& m) { m.Select(7, 7), Type(m, L"xyz"), m.Select(8, 9), m.DeleteBackward(); },
         L"mov ax,xyz bx"},
        {[](EditModel& m) { m.Select(7, 7), Type(m, L"xy"), m.DeleteForward(); }, L"mov ax,xy bx"},
        {[](EditModel& m) { m.Select(7, 7), Type(m, L"xy"), m.Select(8, 8), Type(m, L"z"); },
         L"mov ax,xy bx"},
        {[](EditModel& m) { m.Select(4, 4), m.DeleteForward(), m.Select(5, 5), m.DeleteForward(); },
         L"mov x, bx"},
        {[](EditModel& m) { m.Select(10, 10), m.DeleteBackward(true); }, all},  // Ctrl+Backspace: the word
    };
    for (const auto& [run, undone] : runs) {
        EditModel model = With(L"mov ax, bx");
        run(model);
        const std::wstring edited = model.Text();
        EXPECT_TRUE(model.Undo());
        EXPECT_EQ(model.Text(), undone);
        EXPECT_TRUE(model.Undo());
        EXPECT_EQ(model.Text(), edited);
    }
    EditModel model = With(L"mov ax, bx", 4, 6);
    model.ReplaceSelection(L"");
    model.Undo();
    EXPECT_EQ(model.SelectedText(), L"ax");
    model.ReplaceSelection(L"x", false);  // one that cannot be undone forgets the step before
    EXPECT_FALSE(model.Undo());
    model.ReplaceSelection(L"y"), model.SetText(L"");  // a new text forgets even the last step
    EXPECT_FALSE(model.Undo() || model.ReplaceSelection(L"") || model.DeleteBackward() ||
                 model.DeleteForward());
}

// Keys: < > [ ] (a word) ^ $ (Home, End) { } (text start, end) u d U D (a page of two);
// + holds Shift. Vertical moves keep their first column; any other key forgets it.
TEST(EditModel, TheCaretMovesByCrLfWordsLinesAndPagesAndShiftExtends) {
    const std::wstring crlf = L"ab\r\ncd", tabs = L"0123456789\r\nab\r\n\tx\r\n0123456789";
    const std::wstring four = L"0123456789\r\nab\r\n0123456789\r\nx", words = L"mov  ax, [bx]\r\nint 21h";
    const std::tuple<std::wstring, std::size_t, std::size_t, const char*, std::size_t, std::size_t> cases[] =
        {
            {L"\r\nab", 2, 2, "<", 0, 0},   {L"a\r\n", 1, 1, ">", 3, 3},  {crlf, 2, 2, ">", 4, 4},
            {crlf, 4, 4, "<", 2, 2},        {crlf, 2, 2, "+>+>", 2, 5},   {crlf, 2, 5, "<", 2, 2},
            {crlf, 2, 5, ">", 5, 5},        {crlf, 5, 5, "+^", 5, 4},     {crlf, 5, 5, "$", 6, 6},
            {crlf, 6, 6, "+{", 6, 0},       {crlf, 0, 0, "}>", 6, 6},     {tabs, 9, 9, "d", 14, 14},
            {tabs, 9, 9, "dd", 18, 18},     {tabs, 9, 9, "ddd", 29, 29},  {tabs, 9, 9, "dddd", 29, 29},
            {tabs, 9, 9, "ddd+U+U", 29, 9}, {tabs, 9, 9, "u", 9, 9},      {tabs, 9, 9, "D", 18, 18},
            {tabs, 9, 9, "DU", 9, 9},       {tabs, 9, 9, "Dd", 29, 29},   {four, 9, 9, "d<u", 1, 1},
            {four, 9, 9, "d>u", 12, 12},    {four, 9, 9, "d[u", 0, 0},    {four, 9, 9, "d]u", 12, 12},
            {four, 9, 9, "d^u", 0, 0},      {four, 9, 9, "d$u", 2, 2},    {four, 9, 9, "d{d", 12, 12},
            {four, 9, 9, "d}u", 17, 17},    {words, 22, 22, "[", 19, 19}, {words, 15, 15, "+[", 15, 13},
            {words, 9, 9, "[", 7, 7},
        };
    const std::map<char, Motion> keys{
        {'<', Motion::Left}, {'>', Motion::Right}, {'[', Motion::WordLeft},  {']', Motion::WordRight},
        {'^', Motion::Home}, {'$', Motion::End},   {'{', Motion::TextStart}, {'}', Motion::TextEnd},
        {'u', Motion::Up},   {'d', Motion::Down},  {'U', Motion::PageUp},    {'D', Motion::PageDown}};
    for (const auto& [text, anchor, caret, typed, toAnchor, toCaret] : cases) {
        EditModel model = With(text, anchor, caret);
        for (const char* k = typed; *k; ++k) {
            const bool shift = *k == '+';
            model.Move(keys.at(k[shift]), shift, 2);
            k += shift;
        }
        EXPECT_EQ(std::make_pair(model.Anchor(), model.Caret()), std::make_pair(toAnchor, toCaret)) << typed;
    }
    EditModel model = With(tabs, 9, 9);
    model.Move(Motion::PageDown, false, 0);  // a view too low for a line still pages by one
    EXPECT_EQ(model.Caret(), 14u);
    model = With(words);
    for (std::size_t stop : {5, 7, 9, 10, 12, 13, 15, 19, 22}) {
        model.Move(Motion::WordRight, false);
        EXPECT_EQ(model.Caret(), stop);
    }
}

// A word is a run of one class (letters, Cyrillic too, digits and _; blanks; others).
TEST(EditModel, SelectWordAtPicksTheRunOfOneClass) {
    EditModel model = With(L"mov  ax, [bx]\r\nint 09Zz_@ \u0414\u0430\u043D  b");
    std::wstring words;
    for (std::size_t at : {6, 13, 14, 16, 20, 24, 27, 29, 99}) {
        model.SelectWordAt(at);
        words += model.SelectedText() + L"|";
    }
    EXPECT_EQ(words, L"ax|]|]|int|09Zz_|@|\u0414\u0430\u043D|  |b|");
    std::wstring lengths;  // each character at the edge of a class between two letters, then two semicolons
    for (wchar_t c : std::wstring(L"/09:@AZ[`az{_\x7F\x80 \t\n")) {
        for (const std::wstring around : {L"x", L";"}) {
            model.SetText(around + c + around);
            model.SelectWordAt(1);
            lengths += std::to_wstring(model.SelectedText().size());
        }
    }
    model.SetText(L";\r\n\n\r\n;");  // a lone LF that starts a line: the line's own, not its end
    model.SelectWordAt(3);
    lengths += std::to_wstring(model.SelectedText().size());
    model.SetText(L"");
    model.SelectWordAt(0);
    EXPECT_EQ(lengths + model.SelectedText(), L"1331311313313113133131133113311111111");
}

TEST(EditModel, TabsReachTheNextMultipleOfEightAndTheWidestLineIsKnown) {
    EditModel model = With(L"a\tb\r\n\t\tmov\r\nxy");
    EXPECT_EQ(model.ColumnOf(2), 8u);
    EXPECT_EQ(model.ColumnOf(3), 9u);
    EXPECT_EQ(model.ColumnOf(100), 2u);  // past the end: the end of the last line
    // A column within a tab: the nearer side, halfway across the far side.
    const std::tuple<std::size_t, std::size_t, std::size_t> spots[] = {{0, 3, 1}, {0, 5, 2},  {1, 4, 6},
                                                                       {1, 3, 5}, {0, 50, 3}, {9, 1, 13}};
    for (const auto& [line, column, pos] : spots)
        EXPECT_EQ(model.PosAtColumn(line, column), pos) << line << ":" << column;
    EXPECT_EQ(model.WidestLine(), 19u);
    model.Select(model.Length(), model.Length());
    model.ReplaceSelection(std::wstring(30, L'z'));
    EXPECT_EQ(model.WidestLine(), 32u);
    model.SetText(L"short");
    const std::size_t shortLine = model.WidestLine();
    model.SetText(L"\r\nab\r\n");  // line ends at either end of the text take no columns
    EXPECT_EQ(shortLine * 10 + model.WidestLine(), 52u);
}

// Random edits: the line index agrees with the text, long lines' columns with a walk.
TEST(EditModelColumns, LongLinesAgreeWithAWalkThroughEveryKindOfEdit) {
    std::mt19937 random(7);
    std::wstring start, run;  // short lines, a long line with tabs, one without, short lines; a long piece
    for (int i = 0; i < 1000; ++i)
        run += i == 600 ? L"\r\n" : L"ab\t";
    const std::wstring pieces[] = {
        L"x", L"\t", L"mov ax, 1", L"\r\n", L"", L"\u0416\t;", L"\r", std::wstring(L"\n\0", 2), run, L"\r\n"};
    for (int i = 0; i < 10; ++i)
        start += L"short\tline\r\n";
    for (int i = 0; i < 3000; ++i)
        start += (random() % 5 == 0) ? L"\t" : L"ab";
    start += L"\r\n" + std::wstring(5000, L'q') + L"\r\nx\r\n\r\nend";
    EditModel model;
    model.SetText(start);
    for (int step = 0; step < 300; ++step) {
        const std::size_t length = model.Length(), pick = random() % model.Buffer().LineCount();
        // Every third edit at a line's start (joining or splitting lines), the others anywhere.
        std::size_t at = step % 3 ? random() % (length + 1) : model.Buffer().LineStart(pick);
        at -= std::min<std::size_t>(at, step % 3 ? 0 : random() % 3);
        const std::size_t to = std::min(length, at + (random() % 8 == 0 ? random() % 3000 : random() % 3));
        model.Select(at, to);
        if (step % 37 == 36)
            model.Undo();
        else if (step % 100 == 99)  // a new text: nothing of the old one's columns counts
            model.SetText(L"\t" + model.Text());
        else
            model.ReplaceSelection(pieces[random() % 10]);

        const std::wstring text = model.Text();
        const TextBuffer& buffer = model.Buffer();
        for (std::size_t line = 0; line < buffer.LineCount(); ++line) {
            const std::size_t begin = buffer.LineStart(line), end = buffer.LineEnd(line);
            // Lines end at CR LF alone, whatever other CR, LF and NUL the text holds.
            ASSERT_EQ(end, line + 1 < buffer.LineCount() ? text.find(L"\r\n", begin) : text.size()) << step;
            ASSERT_TRUE(line + 1 == buffer.LineCount() || buffer.LineStart(line + 1) == end + 2);
            ASSERT_TRUE(buffer.LineOf(begin) == line && buffer.LineOf(end) == line);
            std::vector<std::size_t> walked(end - begin + 1);  // each position's column, the plain way
            for (std::size_t i = begin; i < end; ++i)
                walked[i + 1 - begin] = text[i] == L'\t' ? (walked[i - begin] / kTabColumns + 1) * kTabColumns
                                                         : walked[i - begin] + 1;
            const std::size_t width = walked.back();
            EXPECT_GE(model.WidestLine(), line == buffer.LineOf(model.Caret()) ? width : 0);
            for (std::size_t k = 0; k < 6; ++k) {
                std::size_t pos = begin + (end - begin) * k / 5;
                if (k % 2 && pos > begin)
                    --pos;
                ASSERT_EQ(model.ColumnOf(pos), walked[pos - begin]) << step << " line " << line;
                const std::size_t column = width * k / 5 + k % 3;
                const LineColumns::Spot spot = model.SpotAt(line, column);
                ASSERT_EQ(spot.column, walked[spot.pos - begin]) << step;
                ASSERT_TRUE(spot.pos == end ? column >= width : column < walked[spot.pos + 1 - begin]);
                const std::size_t near = model.PosAtColumn(line, column);
                ASSERT_TRUE(near == spot.pos || near == spot.pos + 1) << step;
            }
        }
    }
}

// NUL is an ordinary character; an insert larger than the gap grows it where the edit is.
TEST(TextBuffer, NulIsAnOrdinaryCharacterAndTheGapGrowsWhereverTheEditIs) {
    TextBuffer buffer;
    buffer.SetText(std::wstring(L"a\r\nd\0e", 6));
    // Ranges and spans are clamped to the text; a range backwards is empty.
    EXPECT_EQ(buffer.Range(3, 99) + buffer.Range(5, 3), std::wstring(L"d\0e", 3));
    EXPECT_EQ(buffer.LineCount() * 10 + buffer.Span(99, 3).size() + buffer.Span(4, 9).size(), 22u);
    const std::wstring big(100000, L'x');
    buffer.Replace(4, 4, big);
    buffer.Replace(1, 1, big);
    EXPECT_EQ(buffer.Text(), L"a" + big + std::wstring(L"\r\nd", 3) + big + std::wstring(L"\0e", 2));
    buffer.Replace(1, 999999, L"!");  // a replacement past the end reaches to it
    EXPECT_EQ(buffer.Text() + std::to_wstring(buffer.LineCount()), L"a!1");
}

}  // namespace
