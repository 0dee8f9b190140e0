#pragma once
// The editor's text: a gap buffer of UTF-16 units with an index of where each
// line starts. Lines end at CR LF, which counts as two characters, as in the
// platform's edit control; a lone CR or LF and NUL are ordinary characters.
//
// Setting the whole text is one pass over it. An edit moves the gap to the
// edit (cost: the distance from the previous edit), rescans only the lines it
// touches, and shifts the later line starts lazily: a pending shift applies
// to every line after a "step" line and is carried along as edits move, so
// typing in a 16 MB text touches a few lines, not all of them.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Room kept for typing after a text that the buffer takes over: a text made
// with this much spare capacity is taken without being moved or copied.
constexpr std::size_t kTypingRoom = 4096;

class TextBuffer {
  public:
    TextBuffer();

    std::size_t Length() const { return buffer_.size() - (gapEnd_ - gapStart_); }
    wchar_t At(std::size_t pos) const {
        return pos < gapStart_ ? buffer_[pos] : buffer_[pos + gapEnd_ - gapStart_];
    }
    std::wstring Text() const { return Range(0, Length()); }
    // The characters from pos on that lie together in memory (up to the gap
    // or the end), at most `most` of them.
    std::wstring_view Span(std::size_t pos, std::size_t most) const;
    std::wstring Range(std::size_t start, std::size_t end) const;

    // Takes the text over (a moved string is not copied; its spare capacity
    // becomes the gap).
    void SetText(std::wstring text);
    // Replaces the characters [start, end) with text; positions are clamped.
    void Replace(std::size_t start, std::size_t end, const std::wstring& text);

    // Lines: at least one. A line's end is before its CR LF.
    std::size_t LineCount() const { return starts_.size(); }
    std::size_t LineStart(std::size_t line) const;
    std::size_t LineEnd(std::size_t line) const;
    // The line holding pos; a position between CR and LF belongs to the line they end.
    std::size_t LineOf(std::size_t pos) const;

  private:
    void MoveGapTo(std::size_t pos);
    void MakeGap(std::size_t size);
    // Makes the entries up to `line` true values; the pending shift then
    // applies to the entries after it.
    void MoveStepTo(std::size_t line);

    std::wstring buffer_;  // the text, with the gap [gapStart_, gapEnd_) inside
    std::size_t gapStart_ = 0, gapEnd_ = 0;
    std::vector<std::size_t> starts_;  // entries after stepLine_ lack stepDelta_
    std::size_t stepLine_ = 0;
    std::ptrdiff_t stepDelta_ = 0;
};
