#pragma once
// The .asm file association under HKEY_CLASSES_ROOT.
#include <string>

#include "platform/platform.h"
#include "settings/reg_shell.h"

inline const wchar_t kAsmExtensionKey[] = L".asm";
inline const wchar_t kProgId[] = L"Korveline.Qorvath";

// "C:\Tools\prog" from the folder "C:\Tools" and the name "prog"; no doubled
// backslash when the folder is a drive root ("C:\").
std::wstring ProgramPathPrefix(const std::wstring& folder, const std::wstring& name);
// "<prefix>.exe %1": nothing quoted, the path as the runtime reports it.
std::wstring OpenCommand(const std::wstring& folder, const std::wstring& name);
// "<prefix>.exe,0": the first icon of the program's own file.
std::wstring IconLocation(const std::wstring& folder, const std::wstring& name);

// Writes the association, sets "asmfiles" to 1 and checks mnuReg. Throws at
// the first failing write; the steps before it stay done.
void RegisterAsmFiles(Platform& platform, RegShell& regShell, bool& mnuRegChecked);

// Removes the association, its sub-keys included, then sets "asmfiles" to 0.
void RemoveAsmFiles(Platform& platform, RegShell& regShell, bool& mnuRegChecked);

// The menu command: decides by mnuReg's check mark alone.
void ToggleAsmFiles(Platform& platform, RegShell& regShell, bool& mnuRegChecked);
