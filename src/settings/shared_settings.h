#pragma once
// The program-wide strings that hold the settings store while the program runs.
#include <string>

struct SharedSettings {
    std::wstring tasmPath, tlinkPath;
    std::wstring opt16EXETasm, opt16EXETlink, opt32EXETasm, opt32EXETlink;
    std::wstring opt16COMTasm, opt16COMTlink, opt32COMTasm, opt32COMTlink;
};
