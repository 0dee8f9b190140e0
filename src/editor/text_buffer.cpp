#include "editor/text_buffer.h"

#include <algorithm>

namespace {
constexpr std::size_t kMinGap = kTypingRoom;
}

TextBuffer::TextBuffer() : starts_{0} {}

std::wstring TextBuffer::Range(std::size_t start, std::size_t end) const {
    end = std::min(end, Length());
    start = std::min(start, end);
    std::wstring out;
    out.reserve(end - start);
    if (start < gapStart_)
        out.append(&buffer_[start], std::min(end, gapStart_) - start);
    if (end > gapStart_) {
        const std::size_t from = std::max(start, gapStart_);
        const std::size_t gap = gapEnd_ - gapStart_;
        out.append(&buffer_[from + gap], end - from);
    }
    return out;
}

std::wstring_view TextBuffer::Span(std::size_t pos, std::size_t most) const {
    pos = std::min(pos, Length());
    const std::size_t until = pos < gapStart_ ? gapStart_ : Length();
    const wchar_t* at = buffer_.data() + (pos < gapStart_ ? pos : pos + gapEnd_ - gapStart_);
    return std::wstring_view(at, std::min(most, until - pos));
}

void TextBuffer::SetText(std::wstring text) {
    starts_.assign(1, 0);
    stepLine_ = 0;
    stepDelta_ = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == L'\r' && text[i + 1] == L'\n')
            starts_.push_back(i + 2);
    }
    starts_.shrink_to_fit();
    gapStart_ = text.size();
    if (text.capacity() < gapStart_ + kMinGap) {
        std::wstring roomy;
        roomy.reserve(gapStart_ + kMinGap);
        roomy.append(text);
        text = std::move(roomy);
    }
    buffer_ = std::move(text);
    buffer_.resize(gapStart_ + kMinGap);
    gapEnd_ = buffer_.size();
}

// Only the CR LF pairs that the edit can make or break are looked at: those
// holding a removed character or split by the insertion (their line starts lie
// in [start + 1, end + 1]) and, afterwards, those holding an inserted
// character or joining the two sides (LF at start .. start + size).
void TextBuffer::Replace(std::size_t start, std::size_t end, const std::wstring& text) {
    end = std::min(end, Length());
    start = std::min(start, end);
    if (start == end && text.empty())
        return;
    const std::size_t first = LineOf(start);   // its start stays
    const std::size_t last = LineOf(end + 1);  // starts first+1 .. last go

    MoveGapTo(start);
    gapEnd_ += end - start;
    if (gapEnd_ - gapStart_ < text.size())
        MakeGap(text.size());
    std::copy(text.begin(), text.end(), buffer_.begin() + static_cast<std::ptrdiff_t>(gapStart_));
    gapStart_ += text.size();

    std::vector<std::size_t> found;
    const std::size_t scanFrom = start == 0 ? 0 : start - 1;
    const std::size_t lastLf = start + text.size();
    for (std::size_t i = scanFrom; i + 1 <= lastLf && i + 1 < Length(); ++i) {
        if (At(i) == L'\r' && At(i + 1) == L'\n')
            found.push_back(i + 2);
    }

    const auto delta = static_cast<std::ptrdiff_t>(text.size()) - static_cast<std::ptrdiff_t>(end - start);
    MoveStepTo(last);
    stepDelta_ += delta;
    const std::size_t removed = last - first;
    const std::size_t kept = std::min(removed, found.size());
    std::copy(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(kept),
              starts_.begin() + static_cast<std::ptrdiff_t>(first + 1));
    const auto at = starts_.begin() + static_cast<std::ptrdiff_t>(first + 1 + kept);
    if (found.size() > removed) {
        starts_.insert(at, found.begin() + static_cast<std::ptrdiff_t>(kept), found.end());
        stepLine_ += found.size() - removed;
    } else if (removed > found.size()) {
        starts_.erase(at, at + static_cast<std::ptrdiff_t>(removed - found.size()));
        stepLine_ -= removed - found.size();
    }
}

std::size_t TextBuffer::LineStart(std::size_t line) const {
    if (line >= starts_.size())
        return Length();
    return line <= stepLine_ ? starts_[line] : starts_[line] + static_cast<std::size_t>(stepDelta_);
}

std::size_t TextBuffer::LineEnd(std::size_t line) const {
    return line + 1 < starts_.size() ? LineStart(line + 1) - 2 : Length();
}

std::size_t TextBuffer::LineOf(std::size_t pos) const {
    std::size_t low = 0, high = starts_.size();  // LineStart(low) <= pos < LineStart(high)
    while (high - low > 1) {
        const std::size_t mid = low + (high - low) / 2;
        if (LineStart(mid) <= pos)
            low = mid;
        else
            high = mid;
    }
    return low;
}

void TextBuffer::MoveGapTo(std::size_t pos) {
    const auto b = buffer_.begin();
    if (pos < gapStart_) {
        std::copy_backward(b + static_cast<std::ptrdiff_t>(pos), b + static_cast<std::ptrdiff_t>(gapStart_),
                           b + static_cast<std::ptrdiff_t>(gapEnd_));
        gapEnd_ -= gapStart_ - pos;
        gapStart_ = pos;
    } else if (pos > gapStart_) {
        const std::size_t n = pos - gapStart_;
        std::copy(b + static_cast<std::ptrdiff_t>(gapEnd_), b + static_cast<std::ptrdiff_t>(gapEnd_ + n),
                  b + static_cast<std::ptrdiff_t>(gapStart_));
        gapStart_ += n;
        gapEnd_ += n;
    }
}

void TextBuffer::MakeGap(std::size_t size) {
    const std::size_t extra = size + std::max(kMinGap, Length() / 8);
    buffer_.insert(buffer_.begin() + static_cast<std::ptrdiff_t>(gapEnd_), extra, L'\0');
    gapEnd_ += extra;
}

// Entries up to `line` hold their true value afterwards; the pending shift
// applies to the entries after it. Moving the step costs the lines crossed.
void TextBuffer::MoveStepTo(std::size_t line) {
    line = std::min(line, starts_.size() - 1);
    if (stepDelta_ != 0) {
        for (std::size_t i = stepLine_ + 1; i <= line; ++i)
            starts_[i] += static_cast<std::size_t>(stepDelta_);
        for (std::size_t i = line + 1; i <= stepLine_; ++i)
            starts_[i] -= static_cast<std::size_t>(stepDelta_);
    }
    stepLine_ = line;
    if (stepLine_ + 1 >= starts_.size())
        stepDelta_ = 0;
}
