// The text view's portable half: colours (a letter a character: . plain, c comment, s string,
// n number, r register, i instruction, d directive, l label; then | and an open COMMENT's
// delimiter), Find and Go to line, and the view's geometry and rows.
#include <gtest/gtest.h>

#include <chrono>

#include "editor/asm_syntax.h"
#include "editor/find_text.h"
#include "editor/view_layout.h"

namespace {

// The line is classified as a view of longer texts: nothing past its end may count.
std::string Paint(const std::wstring& line, BlockState open = 0) {
    std::string painted[2];
    for (int k = 0; k < 2; ++k) {
        const std::wstring text = line + (k ? L"a1 " : L": ~");
        std::vector<SyntaxSpan> spans;
        const BlockState after =
            ClassifyLine(std::wstring_view(text).substr(0, line.size()), 0, true, open, spans);
        std::string& out = painted[k] = std::string(line.size(), '.');
        for (const SyntaxSpan& s : spans)
            for (std::size_t i = s.begin; i < s.end; ++i)
                out.at(i) = ".csnridl"[static_cast<int>(s.kind)];
        out += after ? std::string("|") + static_cast<char>(after) : "";
    }
    return painted[0] == painted[1] ? painted[0] : painted[0] + " / " + painted[1];
}

TEST(AsmSyntax, ColoursEveryKindOfWordAsTheAssemblerReadsIt) {
    const std::tuple<const wchar_t*, BlockState, const char*> cases[] = {
        {L"start:  mov ax, 0FFh ; go", 0, "llllll..iii.rr..nnnn.cccc"},
        {L"msg db 'It''', 10, \"$\"", 0, "lll.dd.ssssss..nn..sss"},
        {L"db '',1", 0, "dd.ss.n"},
        {L"@@9: JZ _z$ ; Zz", 0, "llll.ii.....cccc"},  // names of every character a name may hold
        {L"dw 0afh,0agh,07o,08o,102b,AAA", 0, "dd.nnnn......nnn..........iii"},
        {L"MAIN PROC far", 0, "llll.dddd.ddd"},
        {L"PROC Main", 0, "dddd.llll"},
        {L"jmp start", 0, "iii......"},  // only a naming directive names the next word
        {L"5 x", 0, "n.."},
        {L"x 'a' y:", 0, "..sss..."},  // only a line's first word is a label
        {L"x 5 y:", 0, "..n..."},
        {L"'a'1", 0, "sssn"},
        {L"x : mov", 0, "lll.iii"},
        {L"x:mov ax", 0, "lliii.rr"},
        {L"foo 'a' db", 0, "....sss.dd"},
        {L"foo 5 db", 0, "....n.dd"},
        {L"foo ; x", 0, "....ccc"},
        {L"foo", 0, "..."},
        {L"comment  ", 0, "ddddddd.."},  // no delimiter: no block
        {L"comment ~~", 0, "ddddddd.cc"},
        {L"foo bar db 1", 0, "........dd.n"},                // a label only when the directive follows it
        {L"abcdefghijklmnopq ~", 0, "..................."},  // too long for a keyword, COMMENT too
        {L"  .model small", 0, "..dddddd.ddddd"},
        {L"dw 101b,17o,17q,99d,1.5,12h,1G,2b", 0, "dd.nnnn.nnn.nnn.nnn.nnn.nnn......"},
        {L"fld st(1)", 0, "iii.rr.n."},
        {L"dd 2.5e1,1.x;x", 0, "dd.nnnnn....cc"},
        {L"x = 5", 0, "l...n"},
        {L"MOV EAX, CR0", 0, "iii.rrr..rrr"},
        {L"lea dx, \u0441\u0442\u0440 ; \u043a\u043e\u043c", 0, "iii.rr......ccccc"},
        {L"cmpxchg8b [esi] ; 586", 0, "iiiiiiiii..rrr..ccccc"},
        {L"mov ax,\u0080bx", 0, "iii.rr..rr"},  // a character above ASCII is no part of a word
        {L"'open string ; no comment", 0, "sssssssssssssssssssssssss"},
        {L"  Comment ~ start", 0, "..ddddddd.ccccccc|~"},
        {L"end ~ here", L'~', "cccccccccc"},
        {L"mov still ; inside", L'~', "cccccccccccccccccc|~"},
    };
    for (const auto& [line, open, expected] : cases)
        EXPECT_EQ(Paint(line, open), expected) << expected;
}

TEST(AsmSyntax, CommentBlockRunsToTheLineOfItsSecondDelimiterAndForgetsBelowAnEdit) {
    TextBuffer text;
    text.SetText(
        L"mov ax, 1\r\n  Comment ~ start\r\nmov still ; inside\r\nend ~ here\r\nmov bx, 2\r\n"
        L"comment *one line* \r\n comment \r\ncommentary ~\r\nnop");
    SyntaxStates states;
    const BlockState expected[] = {0, 0, L'~', L'~', 0,
                                   0, 0, 0,    0};  // COMMENT without a delimiter opens none
    for (std::size_t line = 0; line < 9; ++line)
        EXPECT_EQ(states.At(text, line), expected[line]) << line;

    // The closing delimiter removed: the block runs on to the end.
    const std::size_t at = text.LineStart(3) + 4;
    text.Replace(at, at + 1, L"");
    states.Forget(3);
    EXPECT_EQ(states.At(text, 7), L'~');
    EXPECT_EQ(states.At(text, 2), L'~');

    SyntaxStates fresh;  // a painted line teaches only the state of the line after those known
    fresh.Learn(4, L'~');
    EXPECT_EQ(fresh.At(text, 1), 0);
}

TEST(FindText, FindsDownAndUpWithCaseWholeWordAndWrapRulesInOnePassOverTheText) {
    TextBuffer text;
    // "Метка mov; меткаб MOV метка", CR LF, "mov_x xa-a-a a-a-ax": the words at 0, 6, 11, 18, 22, 29,
    // 35 and 42.
    text.SetText(
        L"\u041c\u0435\u0442\u043a\u0430 mov; \u043c\u0435\u0442\u043a\u0430\u0431 MOV "
        L"\u043c\u0435\u0442\u043a\u0430\r\nmov_x xa-a-a a-a-ax");
    const std::wstring word = L"\u043c\u0435\u0442\u043a\u0430";  // lower case
    const FindOptions up{false, false, false}, wholeUp{false, true, false}, wholeDown{false, true, true};
    struct Case {
        std::wstring what;
        std::size_t from;
        FindOptions options;
        std::optional<FoundText> expected;
    };
    const Case cases[] = {
        {word, 0, {}, FoundText{0, 5}},                     // case folded
        {word, 0, {true, false, true}, FoundText{11, 16}},  // match case
        {word, 1, wholeDown, FoundText{22, 27}},            // whole word skips "меткаб"
        {word, 27, wholeUp, FoundText{22, 27}},             // up: ends at or before from
        {word, 22, wholeUp, FoundText{0, 5}},               // up, whole word, past "меткаб"
        {L"MOV", 0, {true, false, true}, FoundText{18, 21}},
        {L"mov", 7, wholeDown, FoundText{18, 21}},  // "mov_x" is not the word
        {L"mov", 4, up, std::nullopt},              // nothing above, no wrapping
        {L"x\r\nm", 0, {}, std::nullopt},
        {L"\r\nmov", 0, {}, FoundText{27, 32}},  // across a line end
        {L"", 0, {}, std::nullopt},
        {word, 5, up, FoundText{0, 5}},                                // up from exactly its end
        {L"a-ax", 0, wholeDown, FoundText{44, 48}},                    // a whole word that ends the text
        {L"a-axy", 40, {}, std::nullopt},                              // longer than what is left
        {L"a-a", 0, wholeDown, FoundText{38, 41}},                     // within a rejected "a-a" at 36
        {L"a-a", 48, wholeUp, FoundText{42, 45}},                      // within a rejected "a-a" at 44
        {L"mov", 30, {false, false, true, true}, FoundText{6, 9}},     // wrapped to the top
        {L"mov", 9, {false, false, true, true}, FoundText{18, 21}},    // no need to wrap
        {word, 3, {false, false, false, true}, FoundText{22, 27}},     // wrapped to the bottom
        {L"mov_", 30, {false, false, true, true}, FoundText{29, 33}},  // wrapped all the way round
        {L"xyz", 10, {false, false, true, true}, std::nullopt},
        {text.Text(), 0, {}, FoundText{0, 48}},  // the whole text
        {L"a-ax", 99, up, FoundText{44, 48}},    // up from past the end
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindInText(text, c.what, c.from, c.options), c.expected) << c.from;
    std::wstring folded;  // the edges of each range that folds
    for (wchar_t c :
         std::wstring(L"@AZ[\u00BF\u00C0\u00D7\u00DE\u00DF\u03FF\u0400\u040F\u0410\u042F\u0430\u0490"))
        folded += FoldCase(c);
    EXPECT_EQ(folded, L"@az[\u00BF\u00E0\u00D7\u00FE\u00DF\u03FF\u0450\u045F\u0430\u044F\u0430\u0491");
    std::wstring words;  // a whole word "x" after, then before, each character at the edge of a word's
    for (wchar_t c : std::wstring(L"/09:@AZ[`az{_\x7F\x80")) {
        for (const std::wstring& t : {std::wstring{c, L'x'}, std::wstring{L'x', c}}) {
            text.SetText(t);
            words += FindInText(text, L"x", 0, wholeDown) ? L'+' : L'-';
        }
    }
    EXPECT_EQ(words, L"++----++++----++++----++--++--");

    // 1,000 characters that nearly match at every one of a million: linear, not a billion steps.
    text.SetText(std::wstring(1000000, L'a'));
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(FindInText(text, std::wstring(999, L'a') + L"b", 0, {}), std::nullopt);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
}

TEST(GoToLine, ANumberPastTheLastLineIsTheLastHoweverLarge) {
    std::wstring lines;  // of 100, from 0; "-" refused. 4294967297 is 1 after wrapping around 32 bits
    for (const wchar_t* typed :
         {L" 42 ", L"101", L"4294967297", L"99999999999999999999999", L"0", L"", L"1 2"})
        lines += (LineOfNumber(typed, 100) ? std::to_wstring(*LineOfNumber(typed, 100)) : L"-") + L" ";
    EXPECT_EQ(lines, L"41 99 99 99 - - - ");
}

EditModel With(const std::wstring& text, std::size_t anchor = 0, std::size_t caret = 0) {
    EditModel model;
    model.SetText(text);
    model.Select(anchor, caret);
    return model;
}

// Runs as "text|sel|kind" pieces (kinds as the colours above), to compare a whole row at once.
std::vector<std::string> Runs(const RowLayout& row) {
    std::vector<std::string> out;
    for (const RowRun& r : row.runs)
        out.push_back(std::string(row.text.begin() + r.first, row.text.begin() + r.first + r.count) +
                      (r.selected ? "|sel|" : "||") + ".csnridl"[static_cast<int>(r.kind)]);
    return out;
}

TEST(ViewLayout, GeometryOfRowsPointsAndScrolling) {
    const ViewMetrics m{10, 5, 200, 100, GutterWidth(12, 5)};
    EXPECT_EQ(m.gutter, 25);                                       // three digits and a column either side
    EXPECT_EQ(GutterWidth(100000, 5), 40);                         // six digits
    EXPECT_EQ(PageLines(m) + PageLines({10, 5, 200, 9, 0}), 11u);  // a view lower than a line shows one
    const auto rows = [&](int top, int bottom) {
        const RowRange r = RowsBetween(m, top, bottom);
        return std::to_string(r.first) + "-" + std::to_string(r.end) + " ";
    };
    EXPECT_EQ(rows(15, 31) + rows(-5, 10) + rows(20, 20), "1-4 0-1 0-0 ");

    std::wstring text;
    for (int i = 0; i < 40; ++i)
        text += L"line\tx\r\n";
    const EditModel model = With(text);
    const ViewPosition view{3, 5};
    const std::size_t pos = model.Buffer().LineStart(5) + 5;  // the x after the tab: column 8
    const ViewPoint at = PointOf(model, pos, view, m);
    EXPECT_EQ(at.x, 25 + kTextMargin + 8 * 5 - 5);
    EXPECT_EQ(at.y, 20);
    // A point takes the nearer side of a character; the gutter, the line's start; above the view, the line
    // above.
    const int x = static_cast<int>(at.x), y = static_cast<int>(at.y);
    EXPECT_EQ(
        std::vector<std::size_t>({PositionAt(model, view, m, x + 2, y + 3),
                                  PositionAt(model, view, m, x + 3, y), PositionAt(model, view, m, 3, 25),
                                  PositionAt(model, view, m, 24, -1)}),
        std::vector<std::size_t>({pos, pos + 1, model.Buffer().LineStart(5), model.Buffer().LineStart(2)}));

    // The least move, or centred; a line in sight (from the top line to the last) stays; never past the end.
    std::string tops;
    for (const auto& [line, centre] : {std::pair{20, false},
                                       {30, true},
                                       {4, false},
                                       {3, true},
                                       {12, false},
                                       {13, false},
                                       {2, false},
                                       {40, true}})
        tops += std::to_string(Showing(model, model.Buffer().LineStart(line), view, m, centre).topLine) + " ";
    EXPECT_EQ(tops, "11 25 3 3 3 4 2 31 ");
    EXPECT_EQ(Clamped(model, ViewPosition{100, -3}, m), (ViewPosition{31, 0}));  // 41 lines, 10 in sight

    // Sideways a quarter width past the edge; a column ending exactly at it is in sight. The scroll
    // limit is the widest line rounded up to 16 columns, less the text's width.
    const EditModel wide = With(std::wstring(100, L'a'));
    const int right = kTextMargin + 41 * 5 - (200 - 25);  // column 40's right side at the edge
    EXPECT_EQ(Showing(wide, 40, ViewPosition{0, 0}, m).xOffset, right + 43);
    EXPECT_EQ(Showing(wide, 40, ViewPosition{0, right}, m).xOffset, right);
    EXPECT_EQ(Showing(wide, 2, ViewPosition{0, 10}, m).xOffset, 10);  // its left side at the margin
    EXPECT_EQ(Showing(wide, 1, ViewPosition{0, 10}, m).xOffset, 0);
    EXPECT_EQ(Clamped(wide, ViewPosition{0, 1000}, m).xOffset, kTextMargin + 112 * 5 - 175);
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
    LayOutRow(model, 0, 3, 2, nullptr, row);  // within a tab; then past the line's end
    const std::wstring inTab = row.text;
    LayOutRow(model, 1, 10, 5, &syntax, row);
    EXPECT_EQ(inTab + L"|" + row.text + std::to_wstring(row.runs.size()), L"  |0");
    // A row laid out from a column deep in its line teaches nothing of the next line's state.
    const EditModel block = With(L"  Comment ~ " + std::wstring(100000, L'a') + L"\r\nmov");
    SyntaxStates states;
    LayOutRow(block, 0, 99990, 5, &states, row);
    LayOutRow(block, 1, 0, 80, &states, row);
    EXPECT_EQ(Runs(row), (std::vector<std::string>{"mov||c"}));

    // A column far into a long line, found from the caret without a walk from the line's start.
    std::wstring line(100000, L'a');
    line[70000] = L'b';
    const EditModel lon = With(line, 90000, 90000);
    LayOutRow(lon, 0, 69999, 3, nullptr, row);
    EXPECT_EQ(row.text, L"aba");
    LayOutRow(lon, 0, 99999, 5, nullptr, row);
    EXPECT_EQ(row.text, L"a");
}

}  // namespace
