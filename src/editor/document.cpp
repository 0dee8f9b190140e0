#include "editor/document.h"

void AssignEditorText(MainWindowView& view, DocumentState& doc, const std::wstring& text) {
    if (view.EditorText() == text)
        return;
    view.SetEditorText(text);
    doc.DocChanged = 1;
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
