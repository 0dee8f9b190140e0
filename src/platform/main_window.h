#pragma once
// What the program's logic asks of the main window: its caption (the
// document path), the editor txtCode, and the states of two menu items.
// The window implements it; tests use an in-memory one.
#include <cstddef>
#include <string>

class MainWindowView {
  public:
    virtual ~MainWindowView() = default;
    virtual std::wstring Caption() const = 0;
    virtual void SetCaption(const std::wstring& caption) = 0;

    // Assigning the whole text empties the editor's undo memory.
    virtual std::wstring EditorText() const = 0;
    virtual void SetEditorText(const std::wstring& text) = 0;
    // The same for a text the caller gives up (a file just read): a window
    // that can take it over does so instead of copying it.
    virtual void TakeEditorText(std::wstring&& text) { SetEditorText(text); }
    virtual std::size_t EditorTextLength() const = 0;

    virtual std::wstring SelectedText() const = 0;
    // Replaces the selection (or inserts at the caret) as the user would, undoably.
    virtual void ReplaceSelection(const std::wstring& text) = 0;
    virtual void SetSelection(std::size_t start, std::size_t length) = 0;
    virtual void Undo() = 0;
    // Forgets the editor's undo memory (after a save, as after a whole-text assignment).
    virtual void EmptyUndo() = 0;

    virtual void SetRunEnabled(bool enabled) = 0;  // mnuRunC
    virtual bool RunEnabled() const = 0;
    virtual void SetRegChecked(bool checked) = 0;  // mnuReg
    virtual bool RegChecked() const = 0;
};
