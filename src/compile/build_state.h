#pragma once
// The four kinds of build, and what a build records for Run.
#include <cstdint>
#include <string>

enum class BuildKind { Exe16, Exe32, Com16, Com32 };

struct BuildState {
    std::wstring srcFolder;
    std::wstring srcBase;
    std::wstring batPath;
    std::wstring outBase;           // the output path without its extension, its folder in 8.3 form
    std::int16_t lastBuildCom = 0;  // 1: the last COM build produced its output
    bool runEnabled = false;        // mnuRunC: the last build found its output
};

// Where a build's script leaves what it made, known once the script is written.
struct ScriptOutputs {
    std::wstring documentPath;
    std::wstring documentShortPath;  // as the assembler is given it
    std::wstring outBase;
    std::wstring outputPath;  // outBase with the kind's extension
};
