#pragma once
// Which programs the DOS route deals with: DOS programs, which only DOSBox
// starts on 64-bit Windows and Wine, and DOSBox itself, looked for where
// only an administrator can put a program.
#include <string>
#include <string_view>
#include <vector>

#include "platform/dos_host.h"
#include "platform/system_services.h"

// "MZ" with no PE or NE header at the offset the MZ header names: a DOS .exe.
bool IsDosExe(std::string_view bytes);
// A DOS .exe, or a memory image without "MZ" (a DOS .com).
bool IsDosProgram(std::string_view bytes);
// "MZ" with a "PE\0\0" header where the MZ header points.
bool IsWindowsProgram(std::string_view bytes);
// A program of Wine's host: an ELF file, or a script ("#!"). Whether it may
// be executed shows only when it is started.
bool IsHostProgram(std::string_view bytes);

// Where DOSBox is looked for, in order: dosbox.exe in each PATH folder that
// is a full path, the install folders of DOSBox, DOSBox-X and DOSBox Staging
// under Program Files, and under Wine the host's dosbox, dosbox-x and
// dosbox-staging in /usr/bin and /usr/local/bin.
std::vector<std::wstring> DosBoxCandidates(SystemServices& system, DosHost& host);
