// The file adapter against the real file system: a save replaces the whole
// file or leaves it as it was, with nothing beside it, and every refusal comes
// back as a PlatformError with Windows' own code.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_platform.h"

namespace {

std::wstring FreshFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = temp + (name + std::to_wstring(GetCurrentProcessId()));
    EXPECT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    return folder;
}

// Runs a shell command on the Linux host under Wine (which starts a host
// program by its Z: path), with %1 for the Unix path of `path`, and waits for
// the file it makes last; false on Windows or when it does not end.
bool OnHost(std::string command, const std::wstring& path) {
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    const std::wstring done = path + L".done";
    char* unixPath = unixName ? unixName(path.c_str()) : nullptr;
    if (!unixPath)
        return false;
    char* unixDone = unixName(done.c_str());
    for (auto at = command.find("%1"); at != std::string::npos; at = command.find("%1"))
        command.replace(at, 2, std::string("'") + unixPath + "'");
    command = "Z:\\bin\\sh -c \"" + command + " ; : > '" + unixDone + "'\"";
    HeapFree(GetProcessHeap(), 0, unixPath), HeapFree(GetProcessHeap(), 0, unixDone);
    if (WinExec(command.c_str(), SW_HIDE) < 32)
        return false;  // Wine cannot wait on a host program: it makes a file when done
    for (DWORD start = GetTickCount(); GetTickCount() - start < 20000; Sleep(20)) {
        if (DeleteFileW(done.c_str()))
            return true;
    }
    return false;
}

TEST(FilesWin, WritesReplaceTheWholeFileOrRefuseWithWindowsOwnCodeLeavingItAndNothingBeside) {
    const std::wstring folder = FreshFolder(L"kvfiles");
    Win32FileSystem files;
    std::string big(4 << 20, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7 + (i >> 12));
    std::wstring deep = folder;  // beyond MAX_PATH, as a file named on the command line can be
    while (deep.size() <= MAX_PATH)
        CreateDirectoryW((deep += L"\\" + std::wstring(50, L'd')).c_str(), nullptr);
    for (const std::string& content : {std::string("first, the longer one\r\n"), big, std::string()}) {
        for (const std::wstring& place : {folder, deep}) {
            files.WriteAll(place + L"\\prog.asm", content);
            std::string pieces;  // a megabyte at a time, as a listing is read
            files.ReadPieces(place + L"\\prog.asm", 1 << 20, [&](std::string_view p) { pieces += p; });
            EXPECT_EQ(files.ReadAll(place + L"\\prog.asm") + "|" + pieces, content + "|" + content);
        }
    }
    files.WriteAll(folder + L"\\ro.asm", "keep\r\n");
    ASSERT_TRUE(SetFileAttributesW((folder + L"\\ro.asm").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\dir.bat").c_str(), nullptr));
    HANDLE reader = CreateFileW((folder + L"\\ro.asm").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);  // open for reading elsewhere: it still reads
    HANDLE holder = CreateFileW((folder + L"\\prog.asm").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);  // another program, sharing nothing
    enum { kWrite, kCreate, kRead, kAttributes };
    const struct {
        const wchar_t* name;
        int operation;
        DWORD code;  // 0: it succeeds; ~0: any failure
    } cases[] = {
        {L"\\none\\prog.asm", kWrite, ERROR_PATH_NOT_FOUND},
        {L"\\none.asm", kRead, ERROR_FILE_NOT_FOUND},
        {L"\\none.asm", kAttributes, ERROR_FILE_NOT_FOUND},
        {L"\\ro.asm", kWrite, ERROR_ACCESS_DENIED},
        {L"\\ro.asm", kCreate, ERROR_ACCESS_DENIED},
        {L"\\dir.bat", kCreate, ERROR_ACCESS_DENIED},
        {L"\\prog.asm", kRead, ERROR_SHARING_VIOLATION},
        {L"\\prog.asm", kWrite, ~0u},
        {L"\\ro.asm", kRead, 0},
    };
    for (const auto& c : cases) {
        DWORD code = 0;
        try {
            const std::wstring path = folder + c.name;
            c.operation == kWrite    ? files.WriteAll(path, "lost")
            : c.operation == kCreate ? files.CreateEmptyFile(path)
            : c.operation == kRead   ? (void)files.ReadAll(path)
                                     : (void)files.GetAttributes(path);
        } catch (const PlatformError& error) {
            code = error.Code();
        }
        EXPECT_TRUE(c.code == ~0u ? code != 0 : code == c.code)
            << "code " << code << " for operation " << c.operation;
    }
    CloseHandle(holder);
    CloseHandle(reader);
    EXPECT_TRUE(files.GetAttributes(folder + L"\\ro.asm") & kAttributeReadOnly);
    EXPECT_EQ(files.ReadAll(folder + L"\\ro.asm") + files.ReadAll(folder + L"\\prog.asm"), "keep\r\n");
    EXPECT_FALSE(files.FileExists(folder + L"\\dir.bat"));  // a folder is not a file
    WIN32_FIND_DATAW found{};                               // no temporary file left beside them
    EXPECT_EQ(FindFirstFileW((folder + L"\\kv*").c_str(), &found), INVALID_HANDLE_VALUE) << found.cFileName;
}

// A save keeps what the file is beyond its bytes: its hidden flag, its other
// names (a hard link), the file a symbolic link leads to; it saves in a folder
// that takes no new file, and removes what a crashed save of it left.
TEST(FilesWin, ASaveKeepsTheFilesIdentityAndClearsItsOwnLeftovers) {
    const std::wstring folder = FreshFolder(L"kvkeep"), locked = folder + L"\\locked";
    const auto at = [&](const wchar_t* name) { return folder + L"\\" + name; };
    Win32FileSystem files;
    for (const wchar_t* name : {L"hidden.asm", L"linked.asm", L"target.asm", L"locked\\prog.asm"})
        files.WriteAll(at(name), "old"), CreateDirectoryW(locked.c_str(), nullptr);
    SetFileAttributesW(at(L"hidden.asm").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(CreateHardLinkW(at(L"other name.asm").c_str(), at(L"linked.asm").c_str(), nullptr));
    const bool symlink = OnHost("ln -s target.asm %1", at(L"link.asm"));  // not made by Wine's API
    const bool refusing = OnHost("chmod a-w %1; [ $(id -u) != 0 ] || chattr +i %1", locked) &&
                          CreateFileW((locked + L"\\new").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                                      nullptr) == INVALID_HANDLE_VALUE;
    files.WriteAll(SaveTempPath(at(L"prog.asm")), "a crashed save's");
    files.WriteAll(SaveTempPath(at(L"else.asm")), "another file's");
    for (const wchar_t* name : {L"hidden.asm", L"linked.asm", L"link.asm", L"locked\\prog.asm", L"prog.asm"})
        EXPECT_NO_THROW(files.WriteAll(at(name), "new")) << name[0];
    OnHost("chattr -i %1 2>/dev/null; chmod u+w %1", locked);
    EXPECT_EQ(files.GetAttributes(at(L"hidden.asm")) & FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(files.ReadAll(at(L"hidden.asm")) + files.ReadAll(at(L"other name.asm")) +
                  files.ReadAll(at(L"locked\\prog.asm")),
              "newnewnew");
    EXPECT_EQ(files.ReadAll(at(L"target.asm")), symlink ? "new" : "old");
    EXPECT_FALSE(files.FileExists(SaveTempPath(at(L"prog.asm"))));
    EXPECT_TRUE(files.FileExists(SaveTempPath(at(L"else.asm"))));
    std::printf("%s%s", symlink ? "" : "not seen here: a symbolic link\n",
                refusing ? "" : "not seen here: a folder refusing new files\n");
}

}  // namespace
