#pragma once
// The main window's load step, apart from placing the window.
#include <functional>
#include <string>

#include "editor/document.h"
#include "settings/settings_store.h"

struct MainFields {
    SettingsFields settings;
    std::wstring cmdLine;
};

// The program folder + "\asm1.asm"; in a drive root, the first three
// characters of windir + "asm1.asm".
std::wstring DefaultDocumentPath(const std::wstring& programFolder, const std::wstring& windir);

inline const wchar_t kDesignCaption[] = L" asm";

// Runs the load step after the window has been placed. Every statement that
// fails is skipped and the step goes on.
void RunMainLoadStep(ProgramContext& program,
                     MainFields& fields,
                     Document& document,
                     const std::function<void()>& registerAsmFiles);
