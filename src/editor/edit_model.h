#pragma once
// What the editor txtCode holds and does, apart from the window: the text,
// the selection (anchor and caret, in characters; CR LF counts as two, as in
// the platform's edit control), one step of undo as that control keeps it,
// and the caret's movements. The window (platform/win32/text_view_win) draws
// it and feeds it keys and clicks.
#include <cstddef>
#include <string>

#include "editor/line_columns.h"
#include "editor/text_buffer.h"

enum class Motion {
    Left,
    Right,
    WordLeft,
    WordRight,
    Up,
    Down,
    PageUp,
    PageDown,
    Home,
    End,
    TextStart,
    TextEnd
};

class EditModel {
  public:
    const TextBuffer& Buffer() const { return text_; }
    std::size_t Length() const { return text_.Length(); }
    std::wstring Text() const { return text_.Text(); }
    // Replaces the whole text: the caret goes to the start, the undo memory is emptied.
    // A moved string is taken over, not copied.
    void SetText(std::wstring text);

    std::size_t Anchor() const { return anchor_; }
    std::size_t Caret() const { return caret_; }
    std::size_t SelStart() const { return anchor_ < caret_ ? anchor_ : caret_; }
    std::size_t SelEnd() const { return anchor_ < caret_ ? caret_ : anchor_; }
    std::wstring SelectedText() const { return text_.Range(SelStart(), SelEnd()); }
    void Select(std::size_t anchor, std::size_t caret);
    void SelectWordAt(std::size_t pos);

    // Replaces the selection (or inserts at the caret); the caret ends after
    // the new text. Not undoable empties the undo memory. False when nothing changed.
    bool ReplaceSelection(const std::wstring& text, bool undoable = true);
    // Backspace (a word with Ctrl) and Delete: the selection when there is
    // one, otherwise the character (CR LF as one) before or after the caret.
    bool DeleteBackward(bool word = false);
    bool DeleteForward();

    // One step, as the platform's edit control: Undo reverts the last change
    // (a run of typing at one place is one change) and selects what it put
    // back; a second Undo reverts the first.
    bool CanUndo() const { return undo_.inserted > 0 || !undo_.removed.empty(); }
    bool Undo();
    void EmptyUndo() { undo_ = UndoStep{}; }

    // Moves the caret; with extend the anchor stays, so the selection grows.
    // Up and Down keep the column where vertical movement began.
    void Move(Motion motion, bool extend, std::size_t pageLines = 1);

    // Columns with tabs expanded to the next multiple of kTabColumns. These
    // cost about a block of the line (LineColumns), however long it is.
    std::size_t ColumnOf(std::size_t pos) const;
    // The position on the line nearest to a column.
    std::size_t PosAtColumn(std::size_t line, std::size_t column) const;
    // The first character on the line whose columns reach `column`, and the
    // column where it starts (the line's end and its width when none does):
    // where drawing a line scrolled sideways begins.
    LineColumns::Spot SpotAt(std::size_t line, std::size_t column) const {
        return columns_.SpotAt(text_, line, column);
    }
    // The widest line's columns: exact after SetText, then only grows.
    std::size_t WidestLine() const { return widest_; }

  private:
    struct UndoStep {
        std::size_t pos = 0;       // where the change is
        std::size_t inserted = 0;  // characters the change put there
        std::wstring removed;      // what the change took away
    };
    void Remember(std::size_t start, const std::wstring& removed, std::size_t inserted);
    std::size_t StepLeft(std::size_t pos) const;
    std::size_t StepRight(std::size_t pos) const;
    std::size_t WordLeft(std::size_t pos) const;
    std::size_t WordRight(std::size_t pos) const;
    void Widen(std::size_t from, std::size_t to);
    // Every change of the text goes through here, so the column sums follow it.
    void ReplaceText(std::size_t start, std::size_t end, const std::wstring& text);

    TextBuffer text_;
    LineColumns columns_;
    std::size_t anchor_ = 0, caret_ = 0;
    std::size_t goalColumn_ = kNoGoal;
    static constexpr std::size_t kNoGoal = static_cast<std::size_t>(-1);
    UndoStep undo_;
    std::size_t widest_ = 0;
};
