#pragma once
// The machine the tests run on: one Wine prefix for the whole run, in which
// the program is installed once; every test starts from an empty store, no
// .asm association and an empty work folder.
#include <optional>
#include <string>

namespace e2e {

// The installed program: C:\Program Files\Korveline\korveline.exe (a folder
// with a blank in its name, as most installations have).
std::wstring ProgramPath();
std::wstring ProgramFolder();
// Puts another copy of the built program at the path (creating its folder)
// and returns the path.
std::wstring InstallCopyAt(const std::wstring& path);
// The root of a spare drive ("R:\") that the runner maps to an empty folder,
// for tests of a program in a drive root; none when the runner made none.
std::optional<std::wstring> SpareDriveRoot();

// "C:\e2e work": emptied before every test. Put the test's files here.
std::wstring WorkFolder();
// The run's output folder (logs, screenshots), a Windows path on drive Z:.
std::wstring OutputFolder();

// Files, byte by byte. WriteBytes creates missing folders.
void WriteBytes(const std::wstring& path, const std::string& bytes);
std::optional<std::string> ReadBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
// Text of Windows-1251 bytes, as Windows' own code page 1251 converts them.
std::wstring DecodeWindows1251(const std::string& bytes);

// Saves a picture of the whole screen as OutputFolder()\<name>.png. Returns
// false when no picture appeared in time (a screenshot never fails a test).
bool Screenshot(const std::wstring& name);

// Deletes the store (HKLM\Software\asm) and the association (HKCR\.asm,
// HKCR\Korveline.Qorvath) and empties WorkFolder(). The runner calls it before
// every test; a test that needs several first starts calls it itself.
void ResetMachineState();

// Used by the runner.
namespace detail {
void SetUp(const std::wstring& builtProgram, const std::wstring& outputFolderUnix);
}  // namespace detail

}  // namespace e2e
