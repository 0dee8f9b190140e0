// The editor's text store: lines end at CR LF only, the line index stays
// right through any sequence of edits, and a large text stays cheap to edit.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "editor/text_buffer.h"

namespace {

// The buffer against a plain string whose line starts are found the obvious way.
void ExpectMatches(const TextBuffer& buffer, const std::wstring& expected) {
    ASSERT_EQ(buffer.Text(), expected);
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 0; i + 1 < expected.size(); ++i)
        if (expected[i] == L'\r' && expected[i + 1] == L'\n')
            starts.push_back(i + 2);
    ASSERT_EQ(buffer.LineCount(), starts.size());
    for (std::size_t line = 0; line < starts.size(); ++line) {
        const std::size_t end = line + 1 < starts.size() ? starts[line + 1] - 2 : expected.size();
        ASSERT_EQ(buffer.LineStart(line), starts[line]) << "line " << line;
        ASSERT_EQ(buffer.LineEnd(line), end) << "line " << line;
        ASSERT_EQ(buffer.LineOf(starts[line]), line);
        ASSERT_EQ(buffer.LineOf(end), line);  // also between CR and LF
    }
}

TEST(TextBuffer, LinesEndAtCrLfOnlyThroughAnySequenceOfEdits) {
    TextBuffer buffer;
    ExpectMatches(buffer, L"");
    const std::wstring text(L"a\r\nb\rc\nd\0e\r\n", 12);  // a | b CR c LF d NUL e | (empty)
    buffer.SetText(text);
    ExpectMatches(buffer, text);
    EXPECT_EQ(buffer.At(8), L'\0');
    EXPECT_EQ(buffer.Range(7, 10), std::wstring(L"d\0e", 3));

    std::mt19937 random(12345);
    const wchar_t alphabet[] = {L'a', L'b', L'\r', L'\n', L'\0', L'\u0416'};
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % (n + 1)); };
    std::wstring expected;
    for (int round = 0; round < 3000 && !HasFatalFailure(); ++round) {
        if (round % 500 == 0) {
            expected.assign(pick(40), L'\r');
            for (auto& c : expected)
                c = alphabet[pick(5)];
            buffer.SetText(expected);
        }
        const std::size_t start = pick(expected.size());
        const std::size_t end = start + pick(std::min<std::size_t>(expected.size() - start, 6));
        std::wstring insert(pick(4), L' ');
        for (auto& c : insert)
            c = alphabet[pick(5)];
        buffer.Replace(start, end, insert);
        expected.replace(start, end - start, insert);
        ExpectMatches(buffer, expected);
    }
}

// A thousand rounds of typing, a line break and taking them back in 16 MB cost
// less than fifty passes over the text, measured here so that a loaded machine
// or a sanitizer slows both alike.
TEST(TextBuffer, EditingA16MegabyteTextStaysCheap) {
    std::wstring text;
    while (text.size() < 16u << 20)
        text += L"        mov     ax, word ptr [bx+si+1234h]      ; \u041A\u043E\u043C\r\n";
    TextBuffer buffer;
    buffer.SetText(text);
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(buffer.LineStart(buffer.LineCount() - 1), buffer.Text().size());
    const auto pass = std::chrono::steady_clock::now() - started;
    started = std::chrono::steady_clock::now();
    for (std::size_t at = text.size() / 2; at < text.size() / 2 + 1000; ++at) {
        buffer.Replace(at, at, L"x\r\n");
        EXPECT_EQ(buffer.LineStart(buffer.LineOf(at) + 1), at + 3);
        buffer.Replace(at, at + 3, L"");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, pass * 50);
    EXPECT_TRUE(buffer.Text() == text);
}

}  // namespace
