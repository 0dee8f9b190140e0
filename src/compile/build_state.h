#pragma once
#include <cstdint>
#include <string>

// What the last build recorded, kept by the main window for Run.
struct BuildState {
    std::wstring srcFolder;
    std::wstring srcBase;
    std::wstring batPath;
    std::wstring outBase;           // the output path without its extension, its folder in 8.3 form
    std::int16_t lastBuildCom = 0;  // 1: the last COM build produced its output
};
