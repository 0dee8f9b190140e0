#pragma once
// The machine the tests run on: one Wine prefix for the whole run, with the
// program installed once as C:\Program Files\Korveline\korveline.exe (a folder
// with a blank in its name); every test starts from an empty store, no .asm
// association and an empty work folder.
#include <optional>
#include <string>

namespace e2e {

std::wstring ProgramPath();
std::wstring ProgramFolder();
std::wstring WorkFolder();    // "C:\e2e work": emptied before every test
std::wstring OutputFolder();  // the run's logs and screenshots, on drive Z:

// Files byte by byte; WriteBytes creates missing folders.
void WriteBytes(const std::wstring& path, const std::string& bytes);
std::optional<std::string> ReadBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);

// Saves the whole screen as OutputFolder()\<name>.png; never fails a test.
bool Screenshot(const std::wstring& name);

// Deletes HKLM\Software\asm, HKCR\.asm and HKCR\Korveline.Qorvath and empties
// WorkFolder(); the runner calls it before every test.
void ResetMachineState();

namespace detail {
void SetUp(const std::wstring& builtProgram, const std::wstring& outputFolderUnix);  // by the runner
}  // namespace detail

}  // namespace e2e
