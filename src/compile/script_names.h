#pragma once
// The build script names the document and the output unquoted, so a name
// that holds one of the command interpreter's operators would run a command
// of its own (an output called "x&calc.exe" starts calc). Such a name is
// refused before the script is written.
#include <optional>
#include <string>

// The message that refuses the first operator found, the document's short
// path looked at first; nothing when both names are safe to write.
std::optional<std::wstring> RefuseUnsafeScriptNames(const std::wstring& documentShortPath,
                                                    const std::wstring& outBase);
