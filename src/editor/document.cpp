#include "editor/document.h"

#include <algorithm>
#include <utility>

#include "codepage/recode.h"

void Document::SetPath(const std::wstring& path) {
    path_ = path;
    Tell(DocumentChange::Path);
}

void Document::Load(std::wstring text) {
    model_.SetText(std::move(text));
    ++generation_;
    Tell(DocumentChange::Replaced);
}

void Document::Assign(const std::wstring& text) {
    if (model_.Length() == text.size() && model_.Text() == text)
        return;
    model_.SetText(text);
    DocChanged = 1;
    Tell(DocumentChange::Replaced);
}

void Document::ShowDosRoundTrip() {
    const std::wstring text = model_.Text();
    if (WinToDos(text) != text) {
        model_.SetText(text);  // back from the DOS form: the same text, assigned anew
        DocChanged = 1;
        Tell(DocumentChange::Replaced);
    }
    model_.EmptyUndo();
}

void Document::ReplaceSelection(const std::wstring& text) {
    const std::size_t from = model_.Buffer().LineOf(model_.SelStart());
    Edited(from, model_.ReplaceSelection(text));
}

void Document::Undo() {
    const std::size_t from = model_.Buffer().LineOf(model_.SelStart());
    const bool changed = model_.Undo();
    // An undo puts text back where the caret lands: the colours are found
    // again from the higher of the two lines.
    Edited(std::min(from, model_.Buffer().LineOf(model_.SelStart())), changed);
}

void Document::Select(std::size_t anchor, std::size_t caret) {
    model_.Select(anchor, caret);
    Tell(DocumentChange::Selection);
}

void Document::Edited(std::size_t fromLine, bool changed) {
    if (changed)
        DocChanged = 1;
    Tell(DocumentChange::Edited, fromLine);
}

void Document::Tell(DocumentChange change, std::size_t fromLine) {
    for (Listener* listener : listeners_)
        listener->DocumentChanged(change, fromLine);
}

std::wstring GetFileName(const std::wstring& path) {
    const auto cut = path.find_last_of(L"\\/:");
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

std::wstring DocumentFolder(const std::wstring& documentPath) {
    return documentPath.substr(0, documentPath.size() - GetFileName(documentPath).size());
}

std::wstring DocumentBaseName(const std::wstring& documentPath) {
    const std::wstring name = GetFileName(documentPath);
    return name.size() > 4 ? name.substr(0, name.size() - 4) : std::wstring();
}
