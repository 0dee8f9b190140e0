#pragma once
// The one source document: its path is the main window's caption, its text
// is txtCode's, and its state is in the two flags below.
#include <cstdint>
#include <string>

#include "platform/main_window.h"

struct DocumentState {
    std::int16_t DocChanged = 0;  // 1: the text changed since the last read or write
    std::int16_t DocHasName = 0;  // 1: bound to the file named by the caption
    std::wstring lineBuf;
    int fileNo = 1;
};

// Assigns the editor's whole text as the program's own change: a text that
// differs from the one shown marks the document changed (the edit control
// itself reports no change for a program's assignment).
void AssignEditorText(MainWindowView& view, DocumentState& doc, const std::wstring& text);

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
