// The file adapter against the real file system: a save replaces the whole
// file or leaves it as it was, with nothing beside it, and every refusal comes
// back as a PlatformError with Windows' own code.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_platform.h"

namespace {

TEST(FilesWin, WritesReplaceTheWholeFileOrRefuseWithWindowsOwnCodeLeavingItAndNothingBeside) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = temp + (L"kvfiles" + std::to_wstring(GetCurrentProcessId()));
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
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

}  // namespace
