// The Win32 file adapter against the real file system: a save replaces the
// whole file or leaves it as it was, and every refusal comes back as a
// PlatformError with Windows' own code.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"

namespace {

// A folder made afresh for each test, removed with everything in it.
class ScratchFolder {
  public:
    ScratchFolder() {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"kvfiles" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                std::to_wstring(++counter_);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchFolder() {
        for (const std::wstring& name : Names()) {
            const std::wstring file = path_ + L"\\" + name;
            SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(file.c_str());
        }
        RemoveDirectoryW(path_.c_str());
    }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found{};
        HANDLE h = FindFirstFileW((path_ + L"\\*").c_str(), &found);
        if (h == INVALID_HANDLE_VALUE)
            return names;
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..")
                names.push_back(name);
        } while (FindNextFileW(h, &found));
        FindClose(h);
        return names;
    }

  private:
    static inline int counter_ = 0;
    std::wstring path_;
};

// The file's bytes read straight through the API, not through the adapter.
std::string BytesOf(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes(GetFileSize(h, nullptr), '\0');
    DWORD got = 0xdeadbeef;
    ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(h);
    bytes.resize(got);
    return bytes;
}

void Put(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

// Another program holding the file open without sharing it.
class Lock {
  public:
    explicit Lock(const std::wstring& path)
        : h_(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {
    }
    ~Lock() {
        if (h_ != INVALID_HANDLE_VALUE)
            CloseHandle(h_);
    }
    bool Held() const { return h_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE h_;
};

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
    Win32FileSystem files;
    ScratchFolder folder;
};

TEST_F(FilesWinTest, WriteAllCreatesOrReplacesTheWholeFileAndLeavesNothingBeside) {
    const std::wstring path = folder / L"prog.asm";
    files.WriteAll(path, "first version, the longer one\r\n");
    EXPECT_EQ(BytesOf(path), "first version, the longer one\r\n");
    files.WriteAll(path, "\x8F\xE0\xA8\r\n");
    EXPECT_EQ(BytesOf(path), "\x8F\xE0\xA8\r\n");
    files.WriteAll(path, "");
    EXPECT_EQ(BytesOf(path), "");
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"prog.asm"});
}

TEST_F(FilesWinTest, WriteAllOfFourMegabytesReadsBackTheSame) {
    std::string big(4 << 20, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7 + (i >> 12));
    const std::wstring path = folder / L"big.asm";
    files.WriteAll(path, big);
    EXPECT_EQ(files.ReadAll(path), big);
}

TEST_F(FilesWinTest, WriteAllIntoAMissingFolderFailsAndCreatesNothing) {
    const std::wstring path = folder / L"no such folder\\prog.asm";
    EXPECT_EQ(FailureCode([&] { files.WriteAll(path, "x"); }), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(folder.Names().empty());
}

TEST_F(FilesWinTest, WriteAllRefusesAReadOnlyFileAndKeepsIt) {
    const std::wstring path = folder / L"ro.asm";
    Put(path, "keep\r\n");
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(FailureCode([&] { files.WriteAll(path, "lost"); }), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(BytesOf(path), "keep\r\n");
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"ro.asm"});
    EXPECT_TRUE(files.GetAttributes(path) & kAttributeReadOnly);
}

TEST_F(FilesWinTest, CreateEmptyFileRefusesAReadOnlyFileOrAFolderOfThatName) {
    const std::wstring readOnly = folder / L"ro.bat";
    Put(readOnly, "keep\r\n");
    ASSERT_TRUE(SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(FailureCode([&] { files.CreateEmptyFile(readOnly); }), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(BytesOf(readOnly), "keep\r\n");
    const std::wstring aFolder = folder / L"dir.bat";
    ASSERT_TRUE(CreateDirectoryW(aFolder.c_str(), nullptr));
    EXPECT_EQ(FailureCode([&] { files.CreateEmptyFile(aFolder); }), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    RemoveDirectoryW(aFolder.c_str());
    files.CreateEmptyFile(folder / L"new.bat");
    EXPECT_EQ(BytesOf(folder / L"new.bat"), "");
}

TEST_F(FilesWinTest, WriteAllOverAFileAnotherProgramHoldsKeepsTheOldFile) {
    const std::wstring path = folder / L"held.asm";
    Put(path, "old\r\n");
    {
        Lock lock(path);
        ASSERT_TRUE(lock.Held());
        EXPECT_NE(FailureCode([&] { files.WriteAll(path, "new\r\n"); }), 0u);
    }
    EXPECT_EQ(BytesOf(path), "old\r\n");
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"held.asm"});  // the temporary file is gone
    files.WriteAll(path, "new\r\n");                                    // and once let go, the save works
    EXPECT_EQ(BytesOf(path), "new\r\n");
}

TEST_F(FilesWinTest, ReadAllOfAFileAnotherProgramHoldsFailsWithASharingViolation) {
    const std::wstring path = folder / L"held.asm";
    Put(path, "text\r\n");
    Lock lock(path);
    ASSERT_TRUE(lock.Held());
    EXPECT_EQ(FailureCode([&] { files.ReadAll(path); }), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
}

TEST_F(FilesWinTest, ReadAllOfAFileOpenForReadingElsewhereWorks) {
    const std::wstring path = folder / L"shared.asm";
    Put(path, "text\r\n");
    HANDLE reader =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(files.ReadAll(path), "text\r\n");
    CloseHandle(reader);
}

TEST_F(FilesWinTest, ExistenceAndAttributesOfFilesAndFolders) {
    const std::wstring path = folder / L"a.asm";
    EXPECT_FALSE(files.FileExists(path));
    EXPECT_EQ(FailureCode([&] { files.GetAttributes(path); }), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FailureCode([&] { files.ReadAll(path); }), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    files.CreateEmptyFile(path);
    EXPECT_TRUE(files.FileExists(path));
    EXPECT_EQ(BytesOf(path), "");
    EXPECT_FALSE(files.GetAttributes(path) & kAttributeReadOnly);
    EXPECT_FALSE(files.FileExists(folder / L""));  // a folder is not a file
    EXPECT_FALSE(files.FileExists(L""));
}

}  // namespace
