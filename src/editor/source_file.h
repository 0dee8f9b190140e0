#pragma once
// Source files on disk: bytes taken as Windows-1251 when read, the text in
// the DOS code page followed by one CR LF when written.
#include <string>
#include <string_view>

// A line ends at CR LF or at a lone CR (a lone LF stays in its line); every
// line, the last one included, is rebuilt with CR LF. No code-page
// conversion. Linear in the size of the bytes. The text is made at its size
// with kTypingRoom to spare, so the editor takes it over without a copy.
std::wstring ReadSourceText(std::string_view bytes);

// The bytes a save writes: WinToDos of the text, then CR LF.
std::string SourceFileBytes(const std::wstring& text);
