#include "editor/edit_model.h"

#include <algorithm>

namespace {

enum class CharClass { Blank, Word, Other, LineEnd };

CharClass ClassOf(wchar_t c) {
    if (c == L' ' || c == L'\t')
        return CharClass::Blank;
    if (c == L'\r' || c == L'\n')
        return CharClass::LineEnd;
    if ((c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_' ||
        c >= 0x80)
        return CharClass::Word;
    return CharClass::Other;
}

}  // namespace

void EditModel::ReplaceText(std::size_t start, std::size_t end, const std::wstring& text) {
    const std::size_t first = text_.LineOf(start), last = text_.LineOf(end + 1);
    const std::size_t lineStart = text_.LineStart(first), lines = text_.LineCount();
    text_.Replace(start, end, text);
    const auto lineDelta =
        static_cast<std::ptrdiff_t>(text_.LineCount()) - static_cast<std::ptrdiff_t>(lines);
    columns_.Edited(text_, first, last, lineDelta, lineStart, start, end, text.size());
}

void EditModel::SetText(std::wstring text) {
    anchor_ = caret_ = 0;
    goalColumn_ = kNoGoal;
    EmptyUndo();
    widest_ = 0;
    std::size_t column = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            widest_ = std::max(widest_, column);
            column = 0;
            ++i;
        } else {
            column += ColumnAdvance(text[i], column);
        }
    }
    widest_ = std::max(widest_, column);
    text_.SetText(std::move(text));
    columns_.Clear();
}

void EditModel::Select(std::size_t anchor, std::size_t caret) {
    anchor_ = std::min(anchor, Length());
    caret_ = std::min(caret, Length());
    goalColumn_ = kNoGoal;
}

void EditModel::SelectWordAt(std::size_t pos) {
    pos = std::min(pos, Length());
    const std::size_t line = text_.LineOf(pos);
    const std::size_t begin = text_.LineStart(line), end = text_.LineEnd(line);
    pos = std::min(pos, end);
    if (pos == end && pos > begin)
        --pos;  // past the line's end: the word before it
    if (pos == end)
        return Select(pos, pos);
    const CharClass cls = ClassOf(text_.At(pos));
    std::size_t from = pos, to = pos + 1;
    while (from > begin && ClassOf(text_.At(from - 1)) == cls)
        --from;
    while (to < end && ClassOf(text_.At(to)) == cls)
        ++to;
    Select(from, to);
}

bool EditModel::ReplaceSelection(const std::wstring& text, bool undoable) {
    const std::size_t start = SelStart(), end = SelEnd();
    if (start == end && text.empty())
        return false;
    const std::wstring removed = text_.Range(start, end);
    if (undoable)
        Remember(start, removed, text.size());
    else
        EmptyUndo();
    ReplaceText(start, end, text);
    anchor_ = caret_ = start + text.size();
    goalColumn_ = kNoGoal;
    Widen(start, caret_);
    return true;
}

// A change continues the last one when it types on at its end, or deletes
// on from its place (Delete) or up to it (Backspace), or takes back what it
// typed; otherwise it begins a new step.
void EditModel::Remember(std::size_t start, const std::wstring& removed, std::size_t inserted) {
    UndoStep& u = undo_;
    if (CanUndo()) {
        if (removed.empty() && start == u.pos + u.inserted) {
            u.inserted += inserted;
            return;
        }
        if (inserted == 0 && u.inserted == 0 && start == u.pos) {
            u.removed += removed;
            return;
        }
        if (inserted == 0 && u.inserted == 0 && start + removed.size() == u.pos) {
            u.removed.insert(0, removed);
            u.pos = start;
            return;
        }
        if (inserted == 0 && start >= u.pos && start + removed.size() == u.pos + u.inserted) {
            u.inserted -= removed.size();
            return;
        }
    }
    undo_ = UndoStep{start, inserted, removed};
}

bool EditModel::Undo() {
    if (!CanUndo())
        return false;
    const UndoStep step = undo_;
    const std::wstring taken = text_.Range(step.pos, step.pos + step.inserted);
    ReplaceText(step.pos, step.pos + step.inserted, step.removed);
    undo_ = UndoStep{step.pos, step.removed.size(), taken};
    anchor_ = step.pos;
    caret_ = step.pos + step.removed.size();
    goalColumn_ = kNoGoal;
    Widen(anchor_, caret_);
    return true;
}

bool EditModel::DeleteBackward(bool word) {
    if (anchor_ == caret_) {
        if (caret_ == 0)
            return false;
        anchor_ = word ? WordLeft(caret_) : StepLeft(caret_);
    }
    return ReplaceSelection(L"");
}

bool EditModel::DeleteForward() {
    if (anchor_ == caret_) {
        if (caret_ == Length())
            return false;
        anchor_ = StepRight(caret_);
    }
    return ReplaceSelection(L"");
}

void EditModel::Move(Motion motion, bool extend, std::size_t pageLines) {
    const bool collapse = !extend && anchor_ != caret_;
    std::size_t pos = caret_;
    const std::size_t line = text_.LineOf(pos);
    const bool vertical = motion == Motion::Up || motion == Motion::Down || motion == Motion::PageUp ||
                          motion == Motion::PageDown;
    switch (motion) {
        case Motion::Left:
            pos = collapse ? SelStart() : StepLeft(pos);
            break;
        case Motion::Right:
            pos = collapse ? SelEnd() : StepRight(pos);
            break;
        case Motion::WordLeft:
            pos = WordLeft(pos);
            break;
        case Motion::WordRight:
            pos = WordRight(pos);
            break;
        case Motion::Home:
            pos = text_.LineStart(line);
            break;
        case Motion::End:
            pos = text_.LineEnd(line);
            break;
        case Motion::TextStart:
            pos = 0;
            break;
        case Motion::TextEnd:
            pos = Length();
            break;
        case Motion::Up:
        case Motion::Down:
        case Motion::PageUp:
        case Motion::PageDown: {
            const std::size_t n =
                (motion == Motion::Up || motion == Motion::Down) ? 1 : std::max<std::size_t>(pageLines, 1);
            const bool up = motion == Motion::Up || motion == Motion::PageUp;
            const std::size_t target =
                up ? (line > n ? line - n : 0) : std::min(line + n, text_.LineCount() - 1);
            if (goalColumn_ == kNoGoal)
                goalColumn_ = ColumnOf(pos);
            pos = PosAtColumn(target, goalColumn_);
            break;
        }
    }
    const std::size_t goal = goalColumn_;
    Select(extend ? anchor_ : pos, pos);
    if (vertical)
        goalColumn_ = goal;
}

std::size_t EditModel::StepLeft(std::size_t pos) const {
    if (pos == 0)
        return 0;
    if (pos >= 2 && text_.At(pos - 1) == L'\n' && text_.At(pos - 2) == L'\r')
        return pos - 2;
    return pos - 1;
}

std::size_t EditModel::StepRight(std::size_t pos) const {
    if (pos >= Length())
        return Length();
    if (pos + 1 < Length() && text_.At(pos) == L'\r' && text_.At(pos + 1) == L'\n')
        return pos + 2;
    return pos + 1;
}

// To the start of the word before: blanks are skipped first. At the start of
// a line, to the end of the line before.
std::size_t EditModel::WordLeft(std::size_t pos) const {
    const std::size_t line = text_.LineOf(pos);
    const std::size_t begin = text_.LineStart(line);
    pos = std::min(pos, text_.LineEnd(line));
    if (pos == begin)
        return line > 0 ? text_.LineEnd(line - 1) : 0;
    while (pos > begin && ClassOf(text_.At(pos - 1)) == CharClass::Blank)
        --pos;
    if (pos > begin) {
        const CharClass cls = ClassOf(text_.At(pos - 1));
        while (pos > begin && ClassOf(text_.At(pos - 1)) == cls)
            --pos;
    }
    return pos;
}

// To the start of the next word: past the rest of this one and the blanks
// after it. At the end of a line, to the start of the next.
std::size_t EditModel::WordRight(std::size_t pos) const {
    const std::size_t line = text_.LineOf(pos);
    const std::size_t end = text_.LineEnd(line);
    if (pos >= end)
        return line + 1 < text_.LineCount() ? text_.LineStart(line + 1) : Length();
    const CharClass cls = ClassOf(text_.At(pos));
    if (cls != CharClass::Blank) {
        while (pos < end && ClassOf(text_.At(pos)) == cls)
            ++pos;
    }
    while (pos < end && ClassOf(text_.At(pos)) == CharClass::Blank)
        ++pos;
    return pos;
}

std::size_t EditModel::ColumnOf(std::size_t pos) const {
    return columns_.ColumnOf(text_, text_.LineOf(pos), pos);
}

std::size_t EditModel::PosAtColumn(std::size_t line, std::size_t column) const {
    line = std::min(line, text_.LineCount() - 1);
    const LineColumns::Spot spot = columns_.SpotAt(text_, line, column);
    if (spot.pos == text_.LineEnd(line))
        return spot.pos;
    const std::size_t width = ColumnAdvance(text_.At(spot.pos), spot.column);
    return (column - spot.column) * 2 < width ? spot.pos : spot.pos + 1;
}

void EditModel::Widen(std::size_t from, std::size_t to) {
    const std::size_t last = text_.LineOf(to);
    for (std::size_t line = text_.LineOf(from); line <= last; ++line)
        widest_ = std::max(widest_, columns_.Width(text_, line));
}
