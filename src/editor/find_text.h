#pragma once
// Finding a text in the editor: down from a position or up from it, with or
// without regard to case, optionally as a whole word. Case is folded for
// ASCII, Latin-1 and Cyrillic letters (all that Windows-1251 holds), the
// same on every system; a word is a run of letters, digits, "_" and non-ASCII
// characters, as a double-click selects it.
#include <cstddef>
#include <optional>
#include <string_view>

#include "editor/text_buffer.h"

struct FindOptions {
    bool matchCase = false;
    bool wholeWord = false;
    bool down = true;
};

struct FoundText {
    std::size_t start, end;
    bool operator==(const FoundText& o) const { return start == o.start && end == o.end; }
};

// Down: the first match that starts at or after from. Up: the last match that
// ends at or before from. Nothing when there is none (no wrapping around).
std::optional<FoundText> FindInText(const TextBuffer& text,
                                    std::wstring_view what,
                                    std::size_t from,
                                    const FindOptions& options);

wchar_t FoldCase(wchar_t c);
