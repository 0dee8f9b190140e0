#pragma once
// Finding a text in the editor: down from a position or up from it, with or
// without regard to case, optionally as a whole word, optionally wrapping
// around the text's end. Case is folded for ASCII, Latin-1 and Cyrillic
// letters (all that Windows-1251 holds), the same on every system; a word is
// a run of letters, digits, "_" and non-ASCII characters, as a double-click
// selects it. A search reads each character of the text once: its cost is the
// text's length, whatever the pattern. Also the line that Go to line goes to.
#include <cstddef>
#include <optional>
#include <string_view>

#include "editor/text_buffer.h"

struct FindOptions {
    bool matchCase = false;
    bool wholeWord = false;
    bool down = true;
    bool wrap = false;  // past the last match, on from the other end of the text
};

struct FoundText {
    std::size_t start, end;
    bool operator==(const FoundText& o) const { return start == o.start && end == o.end; }
};

// Down: the first match that starts at or after from; wrapping, else the
// first in the text. Up: the last match that ends at or before from;
// wrapping, else the last in the text. Nothing when there is none.
std::optional<FoundText> FindInText(const TextBuffer& text,
                                    std::wstring_view what,
                                    std::size_t from,
                                    const FindOptions& options);

wchar_t FoldCase(wchar_t c);

// The line (from 0) for the number typed into Go to line: digits, blanks
// around them allowed. A number past the last line, however large, is the
// last line; 0, an empty box or any other character is nothing.
std::optional<std::size_t> LineOfNumber(std::wstring_view typed, std::size_t lineCount);
