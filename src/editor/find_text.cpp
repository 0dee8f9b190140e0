#include "editor/find_text.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

namespace {

bool InWord(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_' ||
           c >= 0x80;
}

// Knuth, Morris and Pratt's matcher over case-folded characters: fed the
// text one character at a time (forwards, or backwards with the pattern
// reversed), it says when the last characters fed are the pattern. After a
// match it goes on from the longest part of the pattern that the match ends
// with, so a match that overlaps a rejected one (not a whole word) is found.
class Matcher {
  public:
    Matcher(std::wstring_view what, bool matchCase, bool reversed) : fold_(!matchCase) {
        for (std::size_t k = 0; k < what.size(); ++k)
            pattern_.push_back(Fold(what[reversed ? what.size() - 1 - k : k]));
        border_.assign(pattern_.size(), 0);
        for (std::size_t k = 1, b = 0; k < pattern_.size(); ++k) {
            while (b > 0 && pattern_[k] != pattern_[b])
                b = border_[b - 1];
            if (pattern_[k] == pattern_[b])
                ++b;
            border_[k] = b;
        }
    }

    bool Feed(wchar_t c) {
        c = Fold(c);
        while (matched_ > 0 && pattern_[matched_] != c)
            matched_ = border_[matched_ - 1];
        if (pattern_[matched_] == c)
            ++matched_;
        if (matched_ < pattern_.size())
            return false;
        matched_ = border_[matched_ - 1];
        return true;
    }

  private:
    wchar_t Fold(wchar_t c) const { return fold_ ? FoldCase(c) : c; }

    bool fold_;
    std::wstring pattern_;
    std::vector<std::size_t> border_;  // per prefix: its longest proper prefix that it ends with
    std::size_t matched_ = 0;
};

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
    const auto accepted = [&](std::size_t at) {
        return !options.wholeWord ||
               ((at == 0 || !InWord(text.At(at - 1))) && (at + n == length || !InWord(text.At(at + n))));
    };
    // The first match that lies within [begin, end), or the last one.
    const auto first = [&](std::size_t begin, std::size_t end) -> std::optional<FoundText> {
        Matcher matcher(what, options.matchCase, false);
        for (std::size_t i = begin; i < end; ++i)
            if (matcher.Feed(text.At(i)) && accepted(i + 1 - n))
                return FoundText{i + 1 - n, i + 1};
        return std::nullopt;
    };
    const auto last = [&](std::size_t begin, std::size_t end) -> std::optional<FoundText> {
        Matcher matcher(what, options.matchCase, true);
        for (std::size_t i = end; i-- > begin;)
            if (matcher.Feed(text.At(i)) && accepted(i))
                return FoundText{i, i + n};
        return std::nullopt;
    };
    // Wrapping looks again at the matches the first look could not reach.
    if (options.down) {
        const auto found = first(from, length);
        return found || !options.wrap ? found : first(0, std::min(length, from + n - 1));
    }
    const auto found = last(0, from);
    return found || !options.wrap ? found : last(from - std::min(from, n - 1), length);
}

std::optional<std::size_t> LineOfNumber(std::wstring_view typed, std::size_t lineCount) {
    const auto begin = typed.find_first_not_of(L' '), end = typed.find_last_not_of(L' ');
    if (begin == std::wstring_view::npos || lineCount == 0)
        return std::nullopt;
    // Saturating: a number too large for size_t (4294967297 on a 32-bit build)
    // is the largest, never what is left after wrapping around.
    constexpr std::size_t kLargest = std::numeric_limits<std::size_t>::max();
    std::size_t number = 0;
    for (const wchar_t c : typed.substr(begin, end + 1 - begin)) {
        if (c < L'0' || c > L'9')
            return std::nullopt;
        const auto digit = static_cast<std::size_t>(c - L'0');
        number = number > (kLargest - digit) / 10 ? kLargest : number * 10 + digit;
    }
    if (number == 0)
        return std::nullopt;
    return std::min(number, lineCount) - 1;
}
