// The file adapter against the real file system: a save replaces the whole
// file or leaves it as it was, with nothing beside it, and every refusal comes
// back as a PlatformError with Windows' own code.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"

namespace {

class FilesWinTest : public ::testing::Test {
  protected:
    FilesWinTest() {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, temp);
        static int made = 0;
        folder =
            temp + (L"kvfiles" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++made));
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    ~FilesWinTest() override {
        for (const std::wstring& name : Names()) {
            SetFileAttributesW((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW((folder + name).c_str()) || RemoveDirectoryW((folder + name).c_str());
        }
        RemoveDirectoryW(folder.c_str());
    }
    std::vector<std::wstring> Names() const {  // each with its backslash
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found{};
        HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &found);
        for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileW(h, &found))
            if (found.cFileName[0] != L'.')
                names.push_back(L"\\" + std::wstring(found.cFileName));
        FindClose(h);
        return names;
    }
    // The code of the PlatformError the operation throws; 0 when it succeeds.
    template <class Operation>
    static DWORD FailureCode(Operation&& operation) {
        try {
            operation();
        } catch (const PlatformError& error) {
            return error.Code();
        }
        return 0;
    }

    Win32FileSystem files;
    std::wstring folder;
};

TEST_F(FilesWinTest, WriteAllReplacesTheWholeFileAndReadAllGivesItBack) {
    const std::wstring path = folder + L"\\prog.asm";
    files.WriteAll(path, "first version, the longer one\r\n");
    std::string big(4 << 20, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7 + (i >> 12));
    files.WriteAll(path, big);
    EXPECT_EQ(files.ReadAll(path), big);
    files.WriteAll(path, "");
    EXPECT_EQ(files.ReadAll(path), "");
    EXPECT_TRUE(files.FileExists(path));
    EXPECT_FALSE(files.FileExists(folder));  // a folder is not a file
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"\\prog.asm"});
    HANDLE reader =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(files.ReadAll(path), "");  // open for reading elsewhere: it still reads
    CloseHandle(reader);
}

TEST_F(FilesWinTest, RefusalsComeWithWindowsOwnCodeAndLeaveTheOldFileAndNothingBesideIt) {
    files.WriteAll(folder + L"\\ro.asm", "keep\r\n");
    files.WriteAll(folder + L"\\held.asm", "old\r\n");
    ASSERT_TRUE(SetFileAttributesW((folder + L"\\ro.asm").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\dir.bat").c_str(), nullptr));
    HANDLE holder = CreateFileW((folder + L"\\held.asm").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);  // another program, sharing nothing
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    enum Operation { kWrite, kCreate, kRead, kAttributes };
    const struct {
        const wchar_t* name;
        Operation operation;
        DWORD code;  // 0: any
    } cases[] = {
        {L"\\none\\prog.asm", kWrite, ERROR_PATH_NOT_FOUND}, {L"\\none.asm", kRead, ERROR_FILE_NOT_FOUND},
        {L"\\none.asm", kAttributes, ERROR_FILE_NOT_FOUND},  {L"\\ro.asm", kWrite, ERROR_ACCESS_DENIED},
        {L"\\ro.asm", kCreate, ERROR_ACCESS_DENIED},         {L"\\dir.bat", kCreate, ERROR_ACCESS_DENIED},
        {L"\\held.asm", kRead, ERROR_SHARING_VIOLATION},     {L"\\held.asm", kWrite, 0},
    };
    for (const auto& c : cases) {
        const std::wstring path = folder + c.name;
        const DWORD code = FailureCode([&] {
            c.operation == kWrite    ? files.WriteAll(path, "lost")
            : c.operation == kCreate ? files.CreateEmptyFile(path)
            : c.operation == kRead   ? (void)files.ReadAll(path)
                                     : (void)files.GetAttributes(path);
        });
        EXPECT_TRUE(c.code ? code == c.code : code != 0)
            << "code " << code << " for operation " << c.operation;
    }
    CloseHandle(holder);
    EXPECT_TRUE(files.GetAttributes(folder + L"\\ro.asm") & kAttributeReadOnly);
    EXPECT_EQ(files.ReadAll(folder + L"\\ro.asm"), "keep\r\n");
    EXPECT_EQ(files.ReadAll(folder + L"\\held.asm"), "old\r\n");
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"\\dir.bat", L"\\held.asm", L"\\ro.asm"}));
    files.CreateEmptyFile(folder + L"\\held.asm");
    EXPECT_EQ(files.ReadAll(folder + L"\\held.asm"), "");
}

}  // namespace
