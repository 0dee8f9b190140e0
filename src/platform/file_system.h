#pragma once
// Files as the program uses them. Paths are wide; contents are bytes.
// Implementations throw PlatformError on failure.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/platform_error.h"

constexpr std::uint32_t kAttributeReadOnly = 0x1;

// A file's size and last write time (a file time: 100 ns units since 1601).
struct FileStamp {
    std::uint64_t size = 0;
    std::uint64_t writeTime = 0;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // True when a file (not a folder) exists at the path; false for an empty path.
    virtual bool FileExists(const std::wstring& path) = 0;
    // The file's attributes; fails when there is no such file.
    virtual std::uint32_t GetAttributes(const std::wstring& path) = 0;
    // Creates an empty file, replacing any file of that name.
    virtual void CreateEmptyFile(const std::wstring& path) = 0;
    // Fails when there is no such file.
    virtual FileStamp Stamp(const std::wstring& path) = 0;
    virtual std::string ReadAll(const std::wstring& path) = 0;
    // Hands the file's bytes to `take` in order, a piece of at most
    // pieceSize bytes at a time, for a file too large to hold whole.
    using TakePiece = std::function<void(std::string_view piece)>;
    virtual void ReadPieces(const std::wstring& path, std::size_t pieceSize, const TakePiece& take) = 0;
    // Replaces the file's whole content, keeping what the file is beyond its
    // bytes (attributes, links, other names). A failed write leaves the old
    // file as it was.
    virtual void WriteAll(const std::wstring& path, const std::string& bytes) = 0;
};
