#pragma once
// The Go to line dialog: asks for a line number from 1 to the number of lines.
#include <windows.h>

#include <cstddef>
#include <optional>

constexpr int kGoToLineBoxId = 100;  // the number's text box

// The number typed, or nothing when the user cancels. A number past the last
// line is given as typed; the dialog refuses 0 and an empty box.
std::optional<std::size_t> AskLineNumber(HWND owner, std::size_t current, std::size_t lineCount);
