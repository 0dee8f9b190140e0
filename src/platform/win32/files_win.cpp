#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform.h"

namespace {

// What a replaced file keeps of its attributes: the temporary file is made with them.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

HANDLE OpenOrThrow(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
    return WithShortRetry([&] {
        HANDLE h =
            CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            ThrowWin32(L"CreateFile " + path);
        return h;
    });
}

void WriteFully(HANDLE h, const std::string& bytes, const std::wstring& path) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        DWORD written = 0;
        if (!WriteFile(h, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            ThrowWin32(L"WriteFile " + path);
        done += written;
    }
}

std::wstring FolderOf(const std::wstring& path) {
    const auto cut = path.find_last_of(L"\\/");
    if (cut == std::wstring::npos)
        return L".";
    if (cut == 2 && path[1] == L':')
        return path.substr(0, 3);
    return path.substr(0, cut);
}

std::string ReadWhole(HANDLE file, const std::wstring& path) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size))
        ThrowWin32(L"GetFileSize " + path);
    if (static_cast<unsigned long long>(size.QuadPart) > (1ull << 31))
        ThrowWin32(L"ReadFile " + path, ERROR_FILE_TOO_LARGE);
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        if (!ReadFile(file, &bytes[done], chunk, &got, nullptr))
            ThrowWin32(L"ReadFile " + path);
        if (got == 0)
            break;  // the file shrank while it was read
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

// The bytes from the file's start, and nothing after them.
void WriteFromStart(HANDLE h, const std::string& bytes, const std::wstring& path) {
    if (!SetFilePointerEx(h, LARGE_INTEGER{}, nullptr, FILE_BEGIN))
        ThrowWin32(L"SetFilePointer " + path);
    WriteFully(h, bytes, path);
    if (!SetEndOfFile(h) || !FlushFileBuffers(h))
        ThrowWin32(L"WriteFile " + path);
}

// Writes over the file itself: the one way to keep its other names (hard
// links), and the way left where its folder takes no new file. The old bytes
// are read first, room for the new ones is made before any old byte is
// touched (a full disk refuses there), and a write that fails midway puts the
// old bytes back.
void WriteInPlace(const std::wstring& target, const std::string& bytes, const std::wstring& path) {
    ScopedHandle file(OpenOrThrow(target, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING));
    const std::string old = ReadWhole(file.Get(), path);
    if (bytes.size() > old.size()) {
        LARGE_INTEGER size{};
        size.QuadPart = static_cast<LONGLONG>(bytes.size());
        if (!SetFilePointerEx(file.Get(), size, nullptr, FILE_BEGIN) || !SetEndOfFile(file.Get()))
            ThrowWin32(L"WriteFile " + path);
    }
    try {
        WriteFromStart(file.Get(), bytes, path);
    } catch (const PlatformError&) {
        SkipOnFailure([&] { WriteFromStart(file.Get(), old, path); });
        throw;
    }
}

// An existing target as the save sees it: the file a symbolic link leads to
// (replacing the link would make it a plain file), and how many names it has.
struct Existing {
    std::wstring path;
    DWORD links = 1;
};

Existing Resolve(const std::wstring& path) {
    Existing existing{path, 1};
    ScopedHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file)
        return existing;
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(file.Get(), &info))
        existing.links = info.nNumberOfLinks;
    std::wstring final(32768, L'\0');
    const DWORD n = GetFinalPathNameByHandleW(file.Get(), final.data(), static_cast<DWORD>(final.size()),
                                              VOLUME_NAME_DOS);
    if (n > 0 && n < final.size())
        existing.path = final.substr(0, n);
    return existing;
}

// The temporary names a save of this file may use, beside it: "kv", eight hex
// digits of a hash of its name, ".tmp", and the next few numbers. They are the
// file's own, so a save that never ended (a crash) leaves one that the next
// save of the same file finds and removes.
constexpr int kTempSlots = 8;

std::wstring TempPath(const std::wstring& target, int slot) {
    const auto cut = target.find_last_of(L"\\/");
    std::wstring name = cut == std::wstring::npos ? target : target.substr(cut + 1);
    CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    std::uint32_t hash = 2166136261u;  // FNV-1a
    for (wchar_t c : name)
        hash = (hash ^ static_cast<std::uint32_t>(c)) * 16777619u;
    wchar_t temp[24];
    swprintf(temp, 24, L"kv%08X.tmp", hash + static_cast<std::uint32_t>(slot));
    const std::wstring folder = FolderOf(target);
    return folder + (folder.back() == L'\\' ? L"" : L"\\") + temp;
}

// Removes what an earlier save of this file left; a name another save is
// writing right now is open and stays (the delete is refused).
void RemoveLeftovers(const std::wstring& target) {
    for (int slot = 0; slot < kTempSlots; ++slot) {
        const std::wstring temp = TempPath(target, slot);
        const DWORD attributes = GetFileAttributesW(temp.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileW(temp.c_str());
    }
}

// A new temporary file beside the target, with the attributes the target
// keeps; INVALID_HANDLE_VALUE where the folder takes no new file.
HANDLE CreateTemp(const std::wstring& target,
                  DWORD attributes,
                  std::wstring& tempPath,
                  const std::wstring& path) {
    for (int slot = 0; slot < kTempSlots; ++slot) {
        tempPath = TempPath(target, slot);
        HANDLE temp =
            CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
        if (temp != INVALID_HANDLE_VALUE)
            return temp;
        const DWORD error = GetLastError();
        if (GetFileAttributesW(tempPath.c_str()) != INVALID_FILE_ATTRIBUTES)
            continue;  // taken: another save's, at this moment
        if (error == ERROR_ACCESS_DENIED)
            return INVALID_HANDLE_VALUE;
        ThrowWin32(L"CreateFile " + path, error);
    }
    ThrowWin32(L"CreateFile " + path, ERROR_FILE_EXISTS);
}

void MoveOver(const std::wstring& from, const std::wstring& to, const std::wstring& path) {
    if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ThrowWin32(L"MoveFileEx " + path);
}

// Puts the written temporary file in the target's place; false where neither
// ReplaceFile nor the move may take the target's place (the file may be
// written but not deleted), which leaves writing it in place.
bool Replace(const std::wstring& target, const std::wstring& temp, const std::wstring& path) {
    return WithShortRetry([&] {
        if (ReplaceFileW(target.c_str(), temp.c_str(), nullptr,
                         REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr))
            return true;
        const DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
            ThrowWin32(L"ReplaceFile " + path, error);  // held for a moment: tried again
        if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        if (GetLastError() == ERROR_ACCESS_DENIED &&
            GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES)
            return false;
        ThrowWin32(L"MoveFileEx " + path);
    });
}

}  // namespace

std::wstring SaveTempPath(const std::wstring& path) {
    return TempPath(path, 0);
}

bool Win32FileSystem::FileExists(const std::wstring& path) {
    if (path.empty())
        return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::uint32_t Win32FileSystem::GetAttributes(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        ThrowWin32(L"GetFileAttributes " + path);
    return attributes;
}

FileStamp Win32FileSystem::Stamp(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        ThrowWin32(L"GetFileAttributesEx " + path);
    FileStamp stamp;
    stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.writeTime = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                      data.ftLastWriteTime.dwLowDateTime;
    return stamp;
}

// A read-only file or a folder of that name is refused as Windows refuses it,
// also where the file system would let its owner write (Wine run as root).
void Win32FileSystem::CreateEmptyFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        ThrowWin32(L"CreateFile " + path, ERROR_ACCESS_DENIED);
    ScopedHandle file(OpenOrThrow(path, GENERIC_WRITE, 0, CREATE_ALWAYS));
}

std::string Win32FileSystem::ReadAll(const std::wstring& path) {
    ScopedHandle file(OpenOrThrow(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
    return ReadWhole(file.Get(), path);
}

void Win32FileSystem::ReadPieces(const std::wstring& path, std::size_t pieceSize, const TakePiece& take) {
    ScopedHandle file(OpenOrThrow(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
    std::string piece(std::min<std::size_t>(pieceSize, 1u << 24), '\0');
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), piece.data(), static_cast<DWORD>(piece.size()), &got, nullptr))
            ThrowWin32(L"ReadFile " + path);
        if (got == 0)
            return;
        take(std::string_view(piece.data(), got));
    }
}

// A new file is written beside its place and moved there. An existing one is
// replaced by ReplaceFile, which keeps its attributes, security, streams and
// creation time, and the atomic move where that is refused; a file with more
// than one name, or in a folder that takes no new file, is written in place.
void Win32FileSystem::WriteAll(const std::wstring& path, const std::string& bytes) {
    // Refuse up front what the replace would refuse anyway, before a
    // temporary file is made.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        ThrowWin32(L"WriteFile " + path, ERROR_ACCESS_DENIED);
    const Existing target = exists ? Resolve(path) : Existing{path, 1};
    RemoveLeftovers(target.path);
    if (target.links > 1)
        return WriteInPlace(target.path, bytes, path);
    // Our own temporary name: GetTempFileName takes a folder of at most
    // MAX_PATH - 14 characters (and Wine writes past its buffer beyond that).
    std::wstring tempPath;
    const DWORD kept = exists ? attributes & kKeptAttributes : 0;
    ScopedHandle temp(CreateTemp(target.path, kept ? kept : FILE_ATTRIBUTE_NORMAL, tempPath, path));
    if (!temp) {
        if (!exists)
            ThrowWin32(L"CreateFile " + path, ERROR_ACCESS_DENIED);
        return WriteInPlace(target.path, bytes, path);
    }
    bool inPlace = false;
    try {
        WriteFully(temp.Get(), bytes, path);
        if (!FlushFileBuffers(temp.Get()))
            ThrowWin32(L"FlushFileBuffers " + path);
        temp.Reset();
        if (exists)
            inPlace = !Replace(target.path, tempPath, path);
        else
            WithShortRetry([&] { MoveOver(tempPath, target.path, path); });
    } catch (...) {
        // The temporary file is all there is of the document where the
        // replace took the old file away and could not put the new one there.
        if (!exists || GetFileAttributesW(target.path.c_str()) != INVALID_FILE_ATTRIBUTES)
            DeleteFileW(tempPath.c_str());
        throw;
    }
    if (inPlace) {
        DeleteFileW(tempPath.c_str());
        WriteInPlace(target.path, bytes, path);
    }
}
