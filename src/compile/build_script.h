#pragma once
// The three-line script a build writes beside the document: it sets a plain
// prompt, runs the assembler and then the linker.
#include <string>

struct ScriptParts {
    std::wstring tasmPath;
    std::wstring asmSwitches;
    std::wstring documentShortPath;
    std::wstring tlinkPath;
    std::wstring linkSwitches;
    std::wstring outBase;
};

// " prompt $s", the assembler line and the linker line, joined by CR LF.
// Tool paths and switches go in exactly as stored: not shortened, quoted or
// trimmed.
std::wstring BuildScriptText(const ScriptParts& parts);

// The script file's bytes: the text converted to the DOS code page, stored
// as Windows-1251 bytes, followed by CR LF (so every line ends with CR LF).
std::string BuildScriptBytes(const ScriptParts& parts);
