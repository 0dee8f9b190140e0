// The editor's text store: lines end at CR LF only, the line index stays
// right through any sequence of edits, and a large text stays cheap to edit.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <vector>

#include "editor/text_buffer.h"

namespace {

// The line starts of a text, found the slow and obvious way.
std::vector<std::size_t> StartsOf(const std::wstring& text) {
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == L'\r' && text[i + 1] == L'\n')
            starts.push_back(i + 2);
    return starts;
}

void ExpectMatches(const TextBuffer& buffer, const std::wstring& expected) {
    ASSERT_EQ(buffer.Text(), expected);
    const std::vector<std::size_t> starts = StartsOf(expected);
    ASSERT_EQ(buffer.LineCount(), starts.size());
    for (std::size_t line = 0; line < starts.size(); ++line) {
        ASSERT_EQ(buffer.LineStart(line), starts[line]) << "line " << line;
        const std::size_t end = line + 1 < starts.size() ? starts[line + 1] - 2 : expected.size();
        ASSERT_EQ(buffer.LineEnd(line), end) << "line " << line;
        ASSERT_EQ(buffer.LineOf(starts[line]), line);
        ASSERT_EQ(buffer.LineOf(end), line);  // also between CR and LF
    }
}

TEST(TextBuffer, LinesEndAtCrLfOnlyAndNulIsAnOrdinaryCharacter) {
    TextBuffer buffer;
    EXPECT_EQ(buffer.LineCount(), 1u);
    EXPECT_EQ(buffer.LineEnd(0), 0u);
    const std::wstring text(L"a\r\nb\rc\nd\0e\r\n", 12);
    buffer.SetText(text);
    EXPECT_EQ(buffer.Length(), 12u);
    EXPECT_EQ(buffer.LineCount(), 3u);  // a | b CR c LF d NUL e | (empty)
    EXPECT_EQ(buffer.LineStart(1), 3u);
    EXPECT_EQ(buffer.LineEnd(1), 10u);
    EXPECT_EQ(buffer.LineOf(2), 0u);  // between CR and LF: the line they end
    EXPECT_EQ(buffer.At(8), L'\0');
    EXPECT_EQ(buffer.Range(7, 10), std::wstring(L"d\0e", 3));
    ExpectMatches(buffer, text);
}

TEST(TextBuffer, RandomEditsAgreeWithAPlainString) {
    std::mt19937 random(12345);
    const wchar_t alphabet[] = {L'a', L'b', L'\r', L'\n', L'\0', L'\u0416'};
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % (n + 1)); };
    TextBuffer buffer;
    std::wstring expected;
    for (int round = 0; round < 3000; ++round) {
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
        if (HasFatalFailure())
            return;
    }
}

TEST(TextBuffer, TypingAndDeletingInA16MegabyteTextStaysCheap) {
    std::wstring line =
        L"        mov     ax, word ptr [bx+si+1234h]      ; \u041A\u043E\u043C\u043C\u0435\u043D\u0442\r\n";
    std::wstring text;
    while (text.size() < 16u << 20)
        text += line;
    TextBuffer buffer;
    buffer.SetText(text);
    const std::size_t lines = buffer.LineCount();
    // The yardstick, measured here so that a loaded machine or a sanitizer slows both alike:
    // one pass over the text's characters and its lines.
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(buffer.Text().size(), text.size());
    EXPECT_EQ(buffer.LineStart(lines - 1), text.size());
    const auto pass = std::chrono::steady_clock::now() - started;
    started = std::chrono::steady_clock::now();
    // Typing at one place, a line break, and taking them back: no edit may
    // cost a pass over the text or over its lines.
    for (std::size_t i = 0; i < 1000; ++i) {
        const std::size_t at = text.size() / 2 + i;
        buffer.Replace(at, at, L"x");
        buffer.Replace(at + 1, at + 1, L"\r\n");
        EXPECT_EQ(buffer.LineStart(buffer.LineOf(at) + 1), at + 3);
        buffer.Replace(at, at + 3, L"");
    }
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_LT(took, pass * 50);  // a thousand rounds of edits cost less than fifty passes
    EXPECT_EQ(buffer.LineCount(), lines);
    EXPECT_EQ(buffer.Length(), text.size());
    EXPECT_EQ(buffer.LineStart(lines - 1), text.size());
    EXPECT_TRUE(buffer.Text() == text);
}

}  // namespace
