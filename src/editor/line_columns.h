#pragma once
// Columns on a long line without walking it. A line of many thousand
// characters (a file whose lines end in LF alone is one line) is cut into
// blocks; each block is summed up by what it does to the column it starts
// at, which does not depend on where it starts: without a tab it adds its
// length; with one, the column before its first tab is rounded up to the
// next tab stop and the rest adds a fixed number of columns. The column of
// any position is then a few block sums and a walk inside one block, and an
// edit on the line rescans only the blocks it touches.
//
// The sums of the few long lines last asked about are kept, and kept right
// through edits (Edited); shorter lines are simply walked.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "editor/text_buffer.h"

constexpr std::size_t kTabColumns = 8;

// The columns a character takes at a column: a tab reaches the next multiple of kTabColumns.
std::size_t ColumnAdvance(wchar_t c, std::size_t column);

class LineColumns {
  public:
    // The column at which the character at pos starts (pos on `line`, at most its end).
    std::size_t ColumnOf(const TextBuffer& text, std::size_t line, std::size_t pos) const;
    // The columns of the whole line.
    std::size_t Width(const TextBuffer& text, std::size_t line) const;
    // The first character on `line` whose columns reach `column` and the
    // column it starts at; the line's end and its width when none does.
    struct Spot {
        std::size_t pos = 0, column = 0;
    };
    Spot SpotAt(const TextBuffer& text, std::size_t line, std::size_t column) const;

    // After text.Replace(start, end, inserted characters): `first` and
    // `last` are the lines LineOf(start) and LineOf(end + 1) before it, and
    // `lineStart` the start of `first`; `lineDelta` is how many lines the
    // edit added (negative when it removed some).
    void Edited(const TextBuffer& text,
                std::size_t first,
                std::size_t last,
                std::ptrdiff_t lineDelta,
                std::size_t lineStart,
                std::size_t start,
                std::size_t end,
                std::size_t inserted);
    void Clear() { entries_.clear(); }

    // Lines at least this long get block sums; shorter ones are walked.
    static constexpr std::size_t kBlock = 1024;
    static constexpr std::size_t kLongLine = 2 * kBlock;

  private:
    struct Block {
        std::size_t length = 0;
        bool tab = false;
        std::size_t before = 0;  // characters before the first tab
        std::size_t after = 0;   // columns after it, from a tab stop
        std::size_t Apply(std::size_t column) const {
            return tab ? ((column + before) / kTabColumns + 1) * kTabColumns + after : column + length;
        }
    };
    struct Entry {
        std::size_t line = 0;
        std::vector<Block> blocks;
        std::vector<std::size_t> startPos, startColumn;  // of each block, and one past the last
        std::size_t valid = 0;                           // entries of startPos/startColumn that are right
        std::uint64_t used = 0;
    };

    const Entry* EntryFor(const TextBuffer& text, std::size_t line) const;  // entries_ is the cache
    static void Scan(const TextBuffer& text, std::size_t from, std::size_t to, std::vector<Block>& out);
    static void Sum(Entry& entry);  // makes startPos and startColumn right
    // The block holding offset (the last one for the line's end).
    static std::size_t BlockAt(const Entry& entry, std::size_t offset);

    mutable std::vector<Entry> entries_;
    mutable std::uint64_t clock_ = 0;
};
