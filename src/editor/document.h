#pragma once
// The one source document: its path, its text (with the selection and one
// step of undo, in an EditModel) and its two flags. The main window's caption
// mirrors the path and a text view shows the text; both follow the document
// as its listeners.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/edit_model.h"

enum class DocumentChange {
    Path,       // the path was set
    Replaced,   // the whole text was replaced: the view goes back to the start
    Edited,     // a part of the text changed, from the line given on
    Selection,  // only the selection moved; it is to be brought into view
};

class Document {
  public:
    class Listener {
      public:
        virtual ~Listener() = default;
        virtual void DocumentChanged(DocumentChange change, std::size_t fromLine) = 0;
    };
    void Listen(Listener& listener) { listeners_.push_back(&listener); }

    std::int16_t DocChanged = 0;  // 1: the text changed since the last read or write
    std::int16_t DocHasName = 0;  // 1: bound to the file the path names

    const std::wstring& Path() const { return path_; }
    void SetPath(const std::wstring& path);
    // The caption was set from outside the program: the path follows it
    // without telling anyone, since the caption already shows it.
    void FollowCaption(const std::wstring& caption) { path_ = caption; }

    const EditModel& Model() const { return model_; }
    // For the view's own edits (typing, keys): it tells Edited afterwards.
    EditModel& Model() { return model_; }
    std::wstring Text() const { return model_.Text(); }
    std::size_t Length() const { return model_.Length(); }
    // Counts the times the whole text was replaced (opened, cleared, set
    // from outside): what was said of an earlier text's lines is stale.
    unsigned Generation() const { return generation_; }

    // Replaces the whole text (a moved string is taken over); the flags are
    // the caller's. Undo is emptied and the caret goes to the start.
    void Load(std::wstring text);
    // The program's own assignment of the whole text: one that differs from
    // the text held marks the document changed.
    void Assign(const std::wstring& text);
    // A build shows the text in the DOS code page while it writes the file
    // and its own text again afterwards: two assignments, so a text with a
    // character of the upper half is changed, and nothing is left to undo.
    void ShowDosRoundTrip();

    // As the user's edits: undoable, and a change marks the document changed.
    void ReplaceSelection(const std::wstring& text);
    void Undo();
    // The selection from anchor to caret (either way round), brought into view.
    void Select(std::size_t anchor, std::size_t caret);
    void EmptyUndo() { model_.EmptyUndo(); }
    // The view edited the model itself, from the line given on.
    void Edited(std::size_t fromLine, bool changed);

  private:
    void Tell(DocumentChange change, std::size_t fromLine = 0);

    std::wstring path_;
    EditModel model_;
    unsigned generation_ = 0;
    std::vector<Listener*> listeners_;
};

// The last component of a path: what follows the last "\" or "/" (or the
// drive's colon).
std::wstring GetFileName(const std::wstring& path);

// The document's folder with its trailing backslash: the path less its last
// component ("C:\work\prog.asm" gives "C:\work\").
std::wstring DocumentFolder(const std::wstring& documentPath);
// The last component less its last four characters, whatever they are
// ("prog.asm" gives "prog"). A name of four characters or fewer gives an
// empty base name; the build refuses only names shorter than four.
std::wstring DocumentBaseName(const std::wstring& documentPath);
