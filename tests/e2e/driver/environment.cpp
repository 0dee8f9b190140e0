#include "driver/environment.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "driver/e2e.h"

namespace e2e {

namespace {

std::wstring g_builtProgram;
std::wstring g_outputUnix;

const wchar_t kProgramFolder[] = L"C:\\Program Files\\Korveline";
const wchar_t kWorkFolder[] = L"C:\\e2e work";
const wchar_t kSpareDrive[] = L"R:\\";

std::wstring FolderOf(const std::wstring& path) {
    const auto cut = path.find_last_of(L'\\');
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

void MakeFolders(const std::wstring& folder) {
    if (folder.size() <= 3)
        return;  // a drive root
    if (GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES)
        return;
    MakeFolders(FolderOf(folder));
    CreateDirectoryW(folder.c_str(), nullptr);
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
            EmptyFolder(path);
        (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(path.c_str())
                                                            : DeleteFileW(path.c_str());
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
}

}  // namespace

std::wstring ProgramFolder() {
    return kProgramFolder;
}
std::wstring ProgramPath() {
    return ProgramFolder() + L"\\korveline.exe";
}
std::wstring WorkFolder() {
    return kWorkFolder;
}
std::wstring OutputFolder() {
    std::wstring out = L"Z:" + g_outputUnix;
    std::replace(out.begin(), out.end(), L'/', L'\\');
    return out;
}

std::wstring InstallCopyAt(const std::wstring& path) {
    MakeFolders(FolderOf(path));
    if (!CopyFileW(g_builtProgram.c_str(), path.c_str(), FALSE))
        Abort("could not copy the program to " + Utf8(path) + ", error " + std::to_string(GetLastError()));
    return path;
}

std::optional<std::wstring> SpareDriveRoot() {
    if (GetFileAttributesW(kSpareDrive) == INVALID_FILE_ATTRIBUTES)
        return std::nullopt;
    return std::wstring(kSpareDrive);
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    MakeFolders(FolderOf(path));
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        Abort("could not create " + Utf8(path));
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size())
        Abort("could not write " + Utf8(path));
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring DecodeWindows1251(const std::string& bytes) {
    if (bytes.empty())
        return {};
    const int n = MultiByteToWideChar(1251, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(n, L'\0');
    MultiByteToWideChar(1251, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    return text;
}

// Wine starts a Linux program from CreateProcess but gives no handle to wait
// on, so ImageMagick writes to a scratch name and the shell renames the
// picture when it is complete; the driver waits for the final name.
bool Screenshot(const std::wstring& name) {
    const std::wstring unixPath = g_outputUnix + L"/" + name + L".png";
    const std::wstring finalPath = OutputFolder() + L"\\" + name + L".png";
    DeleteFileW(finalPath.c_str());
    std::wstring command = L"/bin/sh -c \"import -window root 'png:" + unixPath + L".part' && mv '" +
                           unixPath + L".part' '" + unixPath + L"'\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        Log("  screenshot " + Utf8(name) + ": could not start import, error " +
            std::to_string(GetLastError()));
        return false;
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    const bool saved = WaitUntil([&] { return FileExists(finalPath); }, Ms(15000));
    Log("  screenshot " + Utf8(finalPath) + (saved ? " saved" : " did not appear"));
    return saved;
}

namespace detail {

void SetUp(const std::wstring& builtProgram, const std::wstring& outputFolderUnix) {
    g_builtProgram = builtProgram;
    g_outputUnix = outputFolderUnix;
    InstallCopyAt(ProgramPath());
}

}  // namespace detail

void ResetMachineState() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\asm");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L".asm");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Korveline.Qorvath");
    MakeFolders(WorkFolder());
    EmptyFolder(WorkFolder());
}

}  // namespace e2e
