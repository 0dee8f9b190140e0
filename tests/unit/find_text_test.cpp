// Find: down from a position and up from it, case folded for Latin and
// Cyrillic letters or matched exactly, whole words or any part.
#include <gtest/gtest.h>

#include "editor/find_text.h"

namespace {

TEST(FindText, FindsDownAndUpWithCaseAndWholeWordRules) {
    TextBuffer text;
    // "Метка mov; меткаб MOV метка", CR LF, "mov_x": the words at 0, 6, 11, 18, 22 and 29.
    text.SetText(
        L"\u041c\u0435\u0442\u043a\u0430 mov; \u043c\u0435\u0442\u043a\u0430\u0431 MOV "
        L"\u043c\u0435\u0442\u043a\u0430\r\nmov_x");
    const std::wstring word = L"\u043c\u0435\u0442\u043a\u0430";  // lower case
    struct Case {
        std::wstring what;
        std::size_t from;
        FindOptions options;
        std::optional<FoundText> expected;
    };
    const Case cases[] = {
        {word, 0, {}, FoundText{0, 5}},                       // case folded
        {word, 0, {true, false, true}, FoundText{11, 16}},    // match case
        {word, 1, {false, true, true}, FoundText{22, 27}},    // whole word skips "меткаб"
        {word, 27, {false, true, false}, FoundText{22, 27}},  // up: ends at or before from
        {word, 22, {false, true, false}, FoundText{0, 5}},    // up, whole word, past "меткаб"
        {L"MOV", 0, {true, false, true}, FoundText{18, 21}},
        {L"mov", 7, {false, true, true}, FoundText{18, 21}},  // "mov_x" is not the word
        {L"mov", 4, {false, false, false}, std::nullopt},     // nothing above, no wrapping
        {L"x\r\nm", 0, {}, std::nullopt},
        {L"\r\nmov", 0, {}, FoundText{27, 32}},  // across a line end
        {L"", 0, {}, std::nullopt},
        {word, 5, {false, false, false}, FoundText{0, 5}},      // up from exactly its end
        {L"mov_x", 0, {false, true, true}, FoundText{29, 34}},  // a whole word that ends the text
        {L"mov_xy", 0, {}, std::nullopt},                       // longer than what is left
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindInText(text, c.what, c.from, c.options), c.expected) << c.from;
    EXPECT_EQ(FoldCase(L'\u0401'), L'\u0451');  // Ё
    EXPECT_EQ(FoldCase(L'\u042f'), L'\u044f');  // Я
}

}  // namespace
