#include "editor/line_columns.h"

#include <algorithm>

namespace {

constexpr std::size_t kEntries = 8;  // long lines whose sums are kept

// The column after the characters [from, to), starting at `column`.
std::size_t Walk(const TextBuffer& text, std::size_t from, std::size_t to, std::size_t column) {
    for (std::size_t i = from; i < to; ++i)
        column += ColumnAdvance(text.At(i), column);
    return column;
}

}  // namespace

std::size_t ColumnAdvance(wchar_t c, std::size_t column) {
    return c == L'\t' ? kTabColumns - column % kTabColumns : 1;
}

std::size_t LineColumns::ColumnOf(const TextBuffer& text, std::size_t line, std::size_t pos) const {
    const std::size_t begin = text.LineStart(line);
    pos = std::clamp(pos, begin, text.LineEnd(line));
    const Entry* entry = pos - begin < kLongLine ? nullptr : EntryFor(text, line);
    if (!entry)
        return Walk(text, begin, pos, 0);
    const std::size_t k = BlockAt(*entry, pos - begin);
    return Walk(text, begin + entry->startPos[k], pos, entry->startColumn[k]);
}

std::size_t LineColumns::Width(const TextBuffer& text, std::size_t line) const {
    const Entry* entry = EntryFor(text, line);
    return entry ? entry->startColumn.back() : Walk(text, text.LineStart(line), text.LineEnd(line), 0);
}

LineColumns::Spot LineColumns::SpotAt(const TextBuffer& text, std::size_t line, std::size_t column) const {
    const std::size_t begin = text.LineStart(line), end = text.LineEnd(line);
    Spot spot{begin, 0};
    // A column is at least as far as the characters before it: near the
    // start, the line is walked.
    if (const Entry* entry = column < kLongLine ? nullptr : EntryFor(text, line)) {
        const auto first = entry->startColumn.begin();
        const auto blocks = static_cast<std::ptrdiff_t>(entry->blocks.size());
        const auto k =
            std::max<std::ptrdiff_t>(0, std::upper_bound(first, first + blocks, column) - first - 1);
        spot = Spot{begin + entry->startPos[k], entry->startColumn[k]};
    }
    for (; spot.pos < end; ++spot.pos) {
        const std::size_t width = ColumnAdvance(text.At(spot.pos), spot.column);
        if (column < spot.column + width)
            return spot;
        spot.column += width;
    }
    return spot;
}

void LineColumns::Edited(const TextBuffer& text,
                         std::size_t first,
                         std::size_t last,
                         std::ptrdiff_t lineDelta,
                         std::size_t lineStart,
                         std::size_t start,
                         std::size_t end,
                         std::size_t inserted) {
    if (first == last && lineDelta == 0) {  // within one line: rescan the blocks the edit touched
        for (Entry& entry : entries_) {
            if (entry.line != first)
                continue;
            Sum(entry);
            const std::size_t k = BlockAt(entry, start - lineStart);
            const std::size_t m = std::max(k, BlockAt(entry, end - lineStart));
            const std::size_t from = entry.startPos[k];
            std::size_t to = entry.blocks.empty() ? 0 : entry.startPos[m] + entry.blocks[m].length;
            to = to + inserted - (end - start);
            std::vector<Block> fresh;
            Scan(text, lineStart + from, lineStart + to, fresh);
            const auto at = entry.blocks.begin() + static_cast<std::ptrdiff_t>(k);
            entry.blocks.erase(at, entry.blocks.empty() ? at : at + static_cast<std::ptrdiff_t>(m - k + 1));
            entry.blocks.insert(entry.blocks.begin() + static_cast<std::ptrdiff_t>(k), fresh.begin(),
                                fresh.end());
            entry.valid = std::min(entry.valid, k + 1);
        }
        return;
    }
    // Lines made, joined or split: their sums go (they are made again when
    // asked for), and the later lines' sums move with their line numbers.
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [&](const Entry& e) { return e.line >= first && e.line <= last; }),
                   entries_.end());
    for (Entry& entry : entries_) {
        if (entry.line > last)
            entry.line = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(entry.line) + lineDelta);
    }
}

// The sums of a long line, made when first asked for; nullptr for a short line.
const LineColumns::Entry* LineColumns::EntryFor(const TextBuffer& text, std::size_t line) const {
    auto found =
        std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.line == line; });
    if (found == entries_.end()) {
        const std::size_t begin = text.LineStart(line), end = text.LineEnd(line);
        if (end - begin < kLongLine)
            return nullptr;
        if (entries_.size() >= kEntries) {
            entries_.erase(std::min_element(entries_.begin(), entries_.end(),
                                            [](const Entry& a, const Entry& b) { return a.used < b.used; }));
        }
        Entry entry;
        entry.line = line;
        Scan(text, begin, end, entry.blocks);
        entries_.push_back(std::move(entry));
        found = entries_.end() - 1;
    }
    found->used = ++clock_;
    Sum(*found);
    return &*found;
}

// A block without a tab is only searched for one; after the first tab the
// characters are walked.
void LineColumns::Scan(const TextBuffer& text, std::size_t from, std::size_t to, std::vector<Block>& out) {
    for (std::size_t b = from; b < to; b += kBlock) {
        Block block;
        block.length = std::min(kBlock, to - b);
        block.before = block.length;
        for (std::size_t i = 0; i < block.length;) {
            const std::wstring_view span = text.Span(b + i, block.length - i);
            if (!block.tab) {
                const std::size_t tab = span.find(L'\t');
                if (tab == std::wstring_view::npos) {
                    i += span.size();
                    continue;
                }
                block.tab = true;
                block.before = i + tab;
                i += tab + 1;
                continue;
            }
            for (wchar_t c : span)
                block.after += ColumnAdvance(c, block.after);
            i += span.size();
        }
        out.push_back(block);
    }
}

void LineColumns::Sum(Entry& entry) {
    const std::size_t count = entry.blocks.size();
    entry.startPos.resize(count + 1);
    entry.startColumn.resize(count + 1);
    if (entry.valid == 0) {
        entry.startPos[0] = entry.startColumn[0] = 0;
        entry.valid = 1;
    }
    for (std::size_t k = entry.valid - 1; k < count; ++k) {
        entry.startPos[k + 1] = entry.startPos[k] + entry.blocks[k].length;
        entry.startColumn[k + 1] = entry.blocks[k].Apply(entry.startColumn[k]);
    }
    entry.valid = count + 1;
}

std::size_t LineColumns::BlockAt(const Entry& entry, std::size_t offset) {
    const auto first = entry.startPos.begin();
    const auto blocks = static_cast<std::ptrdiff_t>(entry.blocks.size());
    const auto k = std::upper_bound(first, first + blocks, offset) - first - 1;
    return static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, k));
}
