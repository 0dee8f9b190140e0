#pragma once
// The Win32 implementations of the platform services.
#include <windows.h>

#include "platform/platform.h"

// Throws PlatformError with the operation and the last (or given) error code.
[[noreturn]] void ThrowWin32(const std::wstring& operation, DWORD code = GetLastError());

class Win32Registry : public Registry {
  public:
    RegValue ReadValue(RegRoot root, const std::wstring& key, const std::wstring& name) override;
    void WriteString(RegRoot root,
                     const std::wstring& key,
                     const std::wstring& name,
                     const std::wstring& value) override;
    void WriteDword(RegRoot root,
                    const std::wstring& key,
                    const std::wstring& name,
                    std::uint32_t value) override;
    void DeleteValue(RegRoot root, const std::wstring& key, const std::wstring& name) override;
    void CreateKey(RegRoot root, const std::wstring& key) override;
    void DeleteKey(RegRoot root, const std::wstring& key) override;
};

class Win32FileSystem : public FileSystem {
  public:
    bool FileExists(const std::wstring& path) override;
    std::uint32_t GetAttributes(const std::wstring& path) override;
    FileStamp Stamp(const std::wstring& path) override;
    void CreateEmptyFile(const std::wstring& path) override;
    std::string ReadAll(const std::wstring& path) override;
    void ReadPieces(const std::wstring& path, std::size_t pieceSize, const TakePiece& take) override;
    void WriteAll(const std::wstring& path, const std::string& bytes) override;
};

class Win32FileDialogs : public FileDialogService {
  public:
    FileDialogResult ShowOpen(const FileDialogRequest& request) override;
    FileDialogResult ShowSave(const FileDialogRequest& request) override;
};

class Win32MessageBoxes : public MessageBoxes {
  public:
    int Show(const std::wstring& text, unsigned style, const std::wstring& title) override;
};

class Win32Processes : public Processes {
  public:
    void Start(const std::wstring& path) override;
    void StartAndWatch(const std::wstring& path, Ended onEnded) override;
    void StartIn(const std::wstring& program,
                 const std::wstring& arguments,
                 const std::wstring& folder) override;
    void Sleep(unsigned milliseconds) override;
    std::wstring ShortPath(const std::wstring& path) override;
};

class Win32Clipboard : public Clipboard {
  public:
    // The clipboard needs a window of the program to own what it sets.
    void SetOwner(HWND owner) { owner_ = owner; }
    void SetText(const std::wstring& text) override;
    std::wstring GetText() override;

  private:
    HWND owner_ = nullptr;
};

class Win32System : public SystemServices {
  public:
    void SetCaretBlinkTime(unsigned milliseconds) override;
    std::wstring CommandLine() override;
    std::wstring ProgramFolder() override;
    std::wstring ProgramName() override;
    std::wstring Environment(const std::wstring& name) override;
    std::wstring ErrorText(std::uint32_t code) override;
};

// The first name a save of the file writes its bytes to, beside it, before
// they take the file's place.
std::wstring SaveTempPath(const std::wstring& path);

// The arguments part of a whole command line: what follows the program's own
// name (quoted or not) and the blanks after it, verbatim.
std::wstring ArgumentsOf(const std::wstring& wholeCommandLine);

// Retries an operation that another program may hold for an instant (a
// sharing violation, a busy clipboard) a few times before giving up.
template <class Attempt>
auto WithShortRetry(Attempt&& attempt) -> decltype(attempt()) {
    for (int tries = 1;; ++tries) {
        try {
            return attempt();
        } catch (const PlatformError& e) {
            const bool busy = e.Code() == ERROR_SHARING_VIOLATION || e.Code() == ERROR_LOCK_VIOLATION ||
                              e.Code() == ERROR_CLIPBOARD_NOT_OPEN;
            if (!busy || tries >= 8)
                throw;
            ::Sleep(25 * tries);
        }
    }
}
