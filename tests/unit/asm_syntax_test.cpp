// The colours of assembly source: each case paints a line with one letter per
// character (. plain, c comment, s string, n number, r register,
// i instruction, d directive, l label), and COMMENT blocks carried over lines.
#include <gtest/gtest.h>

#include "editor/asm_syntax.h"

namespace {

std::string Paint(const std::wstring& line) {
    std::vector<SyntaxSpan> spans;
    ClassifyLine(line, 0, true, 0, spans);
    std::string out(line.size(), '.');
    for (const SyntaxSpan& s : spans)
        for (std::size_t i = s.begin; i < s.end; ++i)
            out[i] = ".csnridl"[static_cast<int>(s.kind)];
    return out;
}

TEST(AsmSyntax, ColoursEveryKindOfWordAsTheAssemblerReadsIt) {
    const std::pair<const wchar_t*, const char*> cases[] = {
        {L"start:  mov ax, 0FFh ; go", "llllll..iii.rr..nnnn.cccc"},
        {L"msg db 'It''s', 10, \"$\"", "lll.dd.sssssss..nn..sss"},
        {L"MAIN PROC far", "llll.dddd.ddd"},
        {L"PROC Main", "dddd.llll"},
        {L"  .model small", "..dddddd.ddddd"},
        {L"dw 101b,17o,17q,99d,1.5,12h,1G,2b", "dd.nnnn.nnn.nnn.nnn.nnn.nnn......"},
        {L"fld st(1)", "iii.rr.n."},
        {L"x = 5", "l...n"},
        {L"MOV EAX, CR0", "iii.rrr..rrr"},
        {L"lea dx, \u0441\u0442\u0440 ; \u043a\u043e\u043c", "iii.rr......ccccc"},
        {L"cmpxchg8b [esi] ; 586", "iiiiiiiii..rrr..ccccc"},
        {L"'open string ; no comment", "sssssssssssssssssssssssss"},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(Paint(line), expected) << expected;
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

    std::vector<SyntaxSpan> spans;
    EXPECT_EQ(ClassifyLine(L"end ~ here", 0, true, L'~', spans), 0);
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans[0].kind, SyntaxKind::Comment);
    spans.clear();
    EXPECT_EQ(ClassifyLine(L"  Comment ~ start", 0, true, 0, spans), L'~');

    // The closing delimiter removed: the block runs on to the end.
    const std::size_t at = text.LineStart(3) + 4;
    text.Replace(at, at + 1, L"");
    states.Forget(3);
    EXPECT_EQ(states.At(text, 6), L'~');
    EXPECT_EQ(states.At(text, 2), L'~');
}

}  // namespace
