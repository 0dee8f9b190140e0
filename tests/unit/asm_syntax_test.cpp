// The colours of assembly source: each case paints a line with one letter per
// character (. plain, c comment, s string, n number, r register,
// i instruction, d directive, l label) and, after a '|', the delimiter of the
// COMMENT block it leaves open; and COMMENT blocks carried over lines.
#include <gtest/gtest.h>

#include "editor/asm_syntax.h"

namespace {

std::string Paint(const std::wstring& line, BlockState open = 0) {
    std::vector<SyntaxSpan> spans;
    const BlockState after = ClassifyLine(line, 0, true, open, spans);
    std::string out(line.size(), '.');
    for (const SyntaxSpan& s : spans)
        for (std::size_t i = s.begin; i < s.end; ++i)
            out[i] = ".csnridl"[static_cast<int>(s.kind)];
    return after ? out + "|" + static_cast<char>(after) : out;
}

TEST(AsmSyntax, ColoursEveryKindOfWordAsTheAssemblerReadsIt) {
    const std::tuple<const wchar_t*, BlockState, const char*> cases[] = {
        {L"start:  mov ax, 0FFh ; go", 0, "llllll..iii.rr..nnnn.cccc"},
        {L"msg db 'It''s', 10, \"$\"", 0, "lll.dd.sssssss..nn..sss"},
        {L"MAIN PROC far", 0, "llll.dddd.ddd"},
        {L"PROC Main", 0, "dddd.llll"},
        {L"  .model small", 0, "..dddddd.ddddd"},
        {L"dw 101b,17o,17q,99d,1.5,12h,1G,2b", 0, "dd.nnnn.nnn.nnn.nnn.nnn.nnn......"},
        {L"fld st(1)", 0, "iii.rr.n."},
        {L"x = 5", 0, "l...n"},
        {L"MOV EAX, CR0", 0, "iii.rrr..rrr"},
        {L"lea dx, \u0441\u0442\u0440 ; \u043a\u043e\u043c", 0, "iii.rr......ccccc"},
        {L"cmpxchg8b [esi] ; 586", 0, "iiiiiiiii..rrr..ccccc"},
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
        L"comment *one line* \r\nnop");
    SyntaxStates states;
    const BlockState expected[] = {0, 0, L'~', L'~', 0, 0, 0};
    for (std::size_t line = 0; line < 7; ++line)
        EXPECT_EQ(states.At(text, line), expected[line]) << line;

    // The closing delimiter removed: the block runs on to the end.
    const std::size_t at = text.LineStart(3) + 4;
    text.Replace(at, at + 1, L"");
    states.Forget(3);
    EXPECT_EQ(states.At(text, 6), L'~');
    EXPECT_EQ(states.At(text, 2), L'~');

    SyntaxStates fresh;  // a painted line teaches only the state of the line after those known
    fresh.Learn(4, L'~');
    EXPECT_EQ(fresh.At(text, 1), 0);
}

}  // namespace
