#include "driver/environment.h"

#include <windows.h>

#include "driver/e2e.h"

namespace e2e {
namespace {

std::wstring g_outputUnix;

std::wstring FolderOf(const std::wstring& path) {  // empty for a path without a backslash
    const auto cut = path.find_last_of(L'\\');
    return cut == std::wstring::npos ? L"" : path.substr(0, cut);
}

void MakeFolders(const std::wstring& folder) {
    if (folder.size() > 3 && GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
        MakeFolders(FolderOf(folder));
        CreateDirectoryW(folder.c_str(), nullptr);
    }
}

// Deletes what the folder holds, read-only files included, but not the folder.
void EmptyFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
        const std::wstring name = found.cFileName, path = folder + L"\\" + name;
        if (name == L"." || name == L"..")
            continue;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            EmptyFolder(path), RemoveDirectoryW(path.c_str());
        else
            DeleteFileW(path.c_str());
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
}

}  // namespace

std::wstring ProgramFolder() {
    return L"C:\\Program Files\\Korveline";
}
std::wstring ProgramPath() {
    return ProgramFolder() + L"\\korveline.exe";
}
std::wstring WorkFolder() {
    return L"C:\\e2e work";
}
std::wstring OutputFolder() {
    std::wstring out = L"Z:" + g_outputUnix;
    for (wchar_t& c : out)
        c = c == L'/' ? L'\\' : c;
    return out;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    MakeFolders(FolderOf(path));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool ok = file != INVALID_HANDLE_VALUE &&
                    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    if (!ok)
        Abort("could not write " + Utf8(path));
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string bytes;
    char buffer[65536];
    for (DWORD got = 0; ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0;)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Wine gives no handle to wait on for a Linux program, so ImageMagick writes
// a scratch name that the shell renames once complete; the driver waits for that.
bool Screenshot(const std::wstring& name) {
    const std::wstring unixPath = g_outputUnix + L"/" + name + L".png";
    const std::wstring finalPath = OutputFolder() + L"\\" + name + L".png";
    std::wstring command = L"/bin/sh -c \"import -window root 'png:" + unixPath + L".part' && mv '" +
                           unixPath + L".part' '" + unixPath + L"'\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    DeleteFileW(finalPath.c_str());
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    const bool saved = WaitUntil([&] { return FileExists(finalPath); }, Ms(15000));
    Log("  screenshot " + Utf8(finalPath) + (saved ? " saved" : " did not appear"));
    return saved;
}

void detail::SetUp(const std::wstring& builtProgram, const std::wstring& outputFolderUnix) {
    g_outputUnix = outputFolderUnix;
    MakeFolders(ProgramFolder());
    CopyFileW(builtProgram.c_str(), ProgramPath().c_str(), FALSE);
}

void ResetMachineState() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\asm");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L".asm");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Korveline.Qorvath");
    MakeFolders(WorkFolder());
    EmptyFolder(WorkFolder());
}

}  // namespace e2e
