#pragma once
// The settings store under HKLM\Software\asm and the program-wide strings
// that hold it while the program runs.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "settings/program_context.h"

// One REG_SZ value of the store, in the order the first run writes them.
struct StoreValue {
    const wchar_t* path;
    std::wstring SharedSettings::*member;
    const wchar_t* firstRunText;
};

inline const wchar_t kStoreMarkerPath[] = L"HKLM\\Software\\asm\\";
inline const wchar_t kAsmFilesPath[] = L"HKLM\\Software\\asm\\asmfiles";
inline const wchar_t kStoreKey[] = L"Software\\asm";

extern const std::array<StoreValue, 10> kStoreValues;

// Fields of the main window that LoadSettings alone sets, and the check mark
// of mnuReg, which the menu shows and the association command consults.
struct SettingsFields {
    std::int16_t settingsMarker = 0;
    std::int16_t asmFilesFlag = 0;
    bool mnuRegChecked = false;
};

// Creates the store on the first run (ending with registerAsmFiles) and loads
// it on every later run. Throws at the first failing step; what was done
// before it stays done.
void LoadSettings(ProgramContext& program,
                  SettingsFields& fields,
                  const std::function<void()>& registerAsmFiles);
