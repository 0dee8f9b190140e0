#pragma once
// What the Win32 benchmarks share: their log (a virtual desktop loses
// stdout), a clock, the sample source, and finding another program's windows.
#include <windows.h>

#include <string>

// Opens the log that Say writes to besides stdout; CloseLog closes it.
void OpenLog(const wchar_t* path);
void CloseLog();
void Say(const wchar_t* format, ...);

double Seconds();

// An assembly source in the DOS code page: instructions with Cyrillic comments.
std::string MakeSource(std::size_t bytes);

// A shown top-level window of a process, by class; nullptr when there is none.
HWND FindShown(DWORD pid, const wchar_t* className);
HWND WaitForWindow(DWORD pid, const wchar_t* className, double seconds);
// Notepad's edit control or Korveline's own text view, anywhere below parent.
HWND FindEdit(HWND parent);
// The text length of another program's window; -1 while it does not answer.
LRESULT TextLength(HWND window, UINT timeoutMs);
