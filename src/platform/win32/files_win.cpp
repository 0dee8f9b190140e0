#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform.h"

namespace {

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

}  // namespace

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
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size))
        ThrowWin32(L"GetFileSize " + path);
    if (static_cast<unsigned long long>(size.QuadPart) > (1ull << 31))
        ThrowWin32(L"ReadFile " + path, ERROR_FILE_TOO_LARGE);
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        if (!ReadFile(file.Get(), &bytes[done], chunk, &got, nullptr))
            ThrowWin32(L"ReadFile " + path);
        if (got == 0)
            break;  // the file shrank while it was read
        done += got;
    }
    bytes.resize(done);
    return bytes;
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

void Win32FileSystem::WriteAll(const std::wstring& path, const std::string& bytes) {
    // Refuse up front what the replace would refuse anyway, before a
    // temporary file is made.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        ThrowWin32(L"WriteFile " + path, ERROR_ACCESS_DENIED);
    // Our own temporary name: GetTempFileName takes a folder of at most
    // MAX_PATH - 14 characters (and Wine writes past its buffer beyond that).
    const std::wstring folder = FolderOf(path);
    const std::wstring stem = folder + (folder.back() == L'\\' ? L"kv" : L"\\kv");
    static unsigned counter = GetTickCount();
    std::wstring tempPath;
    HANDLE created = INVALID_HANDLE_VALUE;
    for (int tries = 0; created == INVALID_HANDLE_VALUE; ++tries) {
        wchar_t name[16];
        swprintf(name, 16, L"%04X.tmp", ++counter & 0xFFFF);
        tempPath = stem + name;
        created = CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
        if (created == INVALID_HANDLE_VALUE && (GetLastError() != ERROR_FILE_EXISTS || tries == 1000))
            ThrowWin32(L"CreateFile " + path);
    }
    try {
        ScopedHandle file(created);
        WriteFully(file.Get(), bytes, path);
        if (!FlushFileBuffers(file.Get()))
            ThrowWin32(L"FlushFileBuffers " + path);
        file.Reset();
        WithShortRetry([&] {
            if (!MoveFileExW(tempPath.c_str(), path.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                ThrowWin32(L"MoveFileEx " + path);
        });
    } catch (...) {
        DeleteFileW(tempPath.c_str());
        throw;
    }
}
