// The Win32 file adapter against the real file system: a save replaces the
// whole file or leaves it as it was, and every refusal comes back as a
// PlatformError with Windows' own code.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"

namespace {

// The code of the PlatformError the operation throws; 0 when it succeeds.
template <class Operation>
DWORD FailureCode(Operation&& operation) {
    try {
        operation();
    } catch (const PlatformError& error) {
        return error.Code();
    }
    return 0;
}

class FilesWinTest : public ::testing::Test {
  protected:
    FilesWinTest() {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, temp);
        static int made = 0;
        folder = std::wstring(temp) + L"kvfiles" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                 std::to_wstring(++made);
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    ~FilesWinTest() override {
        for (const std::wstring& name : Names()) {
            SetFileAttributesW((folder + L"\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW((folder + L"\\" + name).c_str());
            RemoveDirectoryW((folder + L"\\" + name).c_str());
        }
        RemoveDirectoryW(folder.c_str());
    }
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found{};
        HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &found);
        for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileW(h, &found))
            if (found.cFileName[0] != L'.')
                names.push_back(found.cFileName);
        if (h != INVALID_HANDLE_VALUE)
            FindClose(h);
        return names;
    }
    // Another program holding the file open: without sharing, or sharing reads.
    HANDLE Hold(const std::wstring& path, DWORD share) {
        return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    }

    Win32FileSystem files;
    std::wstring folder;
};

TEST_F(FilesWinTest, WriteAllReplacesTheWholeFileAndReadAllGivesItBack) {
    const std::wstring path = folder + L"\\prog.asm";
    EXPECT_FALSE(files.FileExists(path));
    EXPECT_EQ(FailureCode([&] { files.GetAttributes(path); }), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FailureCode([&] { files.ReadAll(path); }), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
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
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"prog.asm"});
    HANDLE reader = Hold(path, FILE_SHARE_READ);  // open for reading elsewhere: it still reads
    EXPECT_EQ(files.ReadAll(path), "");
    CloseHandle(reader);
}

TEST_F(FilesWinTest, RefusalsLeaveTheOldFileAndNothingBesideIt) {
    EXPECT_EQ(FailureCode([&] { files.WriteAll(folder + L"\\none\\prog.asm", "x"); }),
              static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    const std::wstring readOnly = folder + L"\\ro.asm", held = folder + L"\\held.asm";
    files.WriteAll(readOnly, "keep\r\n");
    ASSERT_TRUE(SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_TRUE(files.GetAttributes(readOnly) & kAttributeReadOnly);
    EXPECT_EQ(FailureCode([&] { files.WriteAll(readOnly, "lost"); }),
              static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(FailureCode([&] { files.CreateEmptyFile(readOnly); }), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(files.ReadAll(readOnly), "keep\r\n");
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\dir.bat").c_str(), nullptr));
    EXPECT_EQ(FailureCode([&] { files.CreateEmptyFile(folder + L"\\dir.bat"); }),
              static_cast<DWORD>(ERROR_ACCESS_DENIED));
    files.WriteAll(held, "old\r\n");
    HANDLE holder = Hold(held, 0);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_NE(FailureCode([&] { files.WriteAll(held, "new\r\n"); }), 0u);
    EXPECT_EQ(FailureCode([&] { files.ReadAll(held); }), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    CloseHandle(holder);
    EXPECT_EQ(files.ReadAll(held), "old\r\n");
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"dir.bat", L"held.asm", L"ro.asm"}));
    files.CreateEmptyFile(held);
    EXPECT_EQ(files.ReadAll(held), "");
}

}  // namespace
