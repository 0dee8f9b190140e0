#include "editor/find_text.h"

#include <algorithm>

namespace {

bool InWord(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_' ||
           c >= 0x80;
}

}  // namespace

wchar_t FoldCase(wchar_t c) {
    if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x410 && c <= 0x42F))
        return static_cast<wchar_t>(c + 0x20);
    if (c >= 0x400 && c <= 0x40F)  // Ё, Ђ, Ў ...
        return static_cast<wchar_t>(c + 0x50);
    if (c == 0x490)  // Ґ
        return 0x491;
    return c;
}

std::optional<FoundText> FindInText(const TextBuffer& text,
                                    std::wstring_view what,
                                    std::size_t from,
                                    const FindOptions& options) {
    const std::size_t length = text.Length(), n = what.size();
    if (n == 0 || n > length)
        return std::nullopt;
    from = std::min(from, length);
    const auto same = [&](wchar_t a, wchar_t b) {
        return options.matchCase ? a == b : FoldCase(a) == FoldCase(b);
    };
    const auto matchesAt = [&](std::size_t at) {
        for (std::size_t k = 0; k < n; ++k)
            if (!same(text.At(at + k), what[k]))
                return false;
        if (!options.wholeWord)
            return true;
        return (at == 0 || !InWord(text.At(at - 1))) && (at + n == length || !InWord(text.At(at + n)));
    };
    const std::size_t last = length - n;  // the last place a match can start
    if (options.down) {
        for (std::size_t at = from; at <= last; ++at)
            if (matchesAt(at))
                return FoundText{at, at + n};
    } else if (from >= n) {
        for (std::size_t at = std::min(from - n, last) + 1; at-- > 0;)
            if (matchesAt(at))
                return FoundText{at, at + n};
    }
    return std::nullopt;
}
