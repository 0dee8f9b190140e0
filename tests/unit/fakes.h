#pragma once
// In-memory platform services that record what they were asked and fail when told.
#include <algorithm>
#include <cwctype>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "platform/platform.h"
#include "settings/settings_store.h"

using Text = const std::wstring&;  // a text parameter

inline std::wstring Lower(std::wstring s) {
    for (auto& c : s)
        c = static_cast<wchar_t>(std::towlower(c));
    return s;
}
inline const auto RegText = [](Text text) { return RegValue{RegType::String, text, 0, {}}; };
inline const auto RegNumber = [](std::uint32_t number) { return RegValue{RegType::Dword, L"", number, {}}; };

// Keys and value names compare without regard to case, as Windows does.
class FakeRegistry : public Registry {
  public:
    std::set<RegRoot> refuseWrites;  // writes, creations and deletions under these roots fail
    bool refuseCreateKey = false;    // only key creation fails
    std::vector<std::wstring> log;   // "write HKLM\Software\asm\tasm", "deletekey HKCR\.asm" ...

    RegValue ReadValue(RegRoot root, Text key, Text name) override {
        if (!Has(root, key, name))
            throw PlatformError(L"no value " + name, 2);
        return values_.at(Path(root, key + L"\\" + name));
    }
    void WriteString(RegRoot r, Text k, Text n, Text v) override { Write(r, k, n, RegText(v)); }
    void WriteDword(RegRoot r, Text k, Text n, std::uint32_t v) override { Write(r, k, n, RegNumber(v)); }
    void DeleteValue(RegRoot root, Text key, Text name) override {
        Refuse(root, L"deletevalue ", key + L"\\" + name);
        if (!values_.erase(Path(root, key + L"\\" + name)))
            throw PlatformError(L"no value", 2);
    }
    void CreateKey(RegRoot root, Text key) override {
        Refuse(root, L"createkey ", key);
        if (refuseCreateKey)
            throw PlatformError(L"access denied", 5);
        MakeKey(root, key);
    }
    // Fails for a key with sub-keys, as Windows does.
    void DeleteKey(RegRoot root, Text key) override {
        Refuse(root, L"deletekey ", key);
        const std::wstring path = Path(root, key), under = path + L"\\";
        const auto sub = keys_.lower_bound(under);
        if (!keys_.erase(path) || (sub != keys_.end() && sub->rfind(under, 0) == 0))
            throw PlatformError(L"no key, or one with sub-keys", 5);
        values_.erase(values_.lower_bound(under), values_.lower_bound(path + L"]"));  // ']' follows '\'
    }

    // Test set-up and inspection, without logging or refusal.
    void Set(RegRoot root, Text key, Text name, const RegValue& value) {
        MakeKey(root, key);
        values_[Path(root, key + L"\\" + name)] = value;
    }
    bool HasKey(RegRoot root, Text key) const { return keys_.count(Path(root, key)) != 0; }
    bool Has(RegRoot root, Text key, Text name) const {
        return values_.count(Path(root, key + L"\\" + name)) != 0;
    }

  private:
    static std::wstring Path(RegRoot root, Text key, bool lower = true) {
        const wchar_t* roots[] = {L"HKCR\\", L"HKCU\\", L"HKLM\\", L"HKU\\", L"HKCC\\"};
        return roots[static_cast<int>(root)] + (lower ? Lower(key) : key);
    }
    void Refuse(RegRoot root, Text what, Text path) {
        log.push_back(what + Path(root, path, false));
        if (refuseWrites.count(root))
            throw PlatformError(L"access denied", 5);
    }
    void Write(RegRoot root, Text key, Text name, const RegValue& value) {
        Refuse(root, L"write ", key + L"\\" + name);
        Set(root, key, name, value);
    }
    void MakeKey(RegRoot root, Text key) {
        const std::wstring path = Path(root, key);
        for (std::size_t cut = path.find(L'\\'); cut != std::wstring::npos;) {
            cut = path.find(L'\\', cut + 1);
            keys_.insert(path.substr(0, cut));
        }
    }
    std::set<std::wstring> keys_;              // "HKLM\software\asm", lower case
    std::map<std::wstring, RegValue> values_;  // "HKLM\software\asm\tasm", lower case
};

class FakeFileSystem : public FileSystem {
  public:
    struct File {
        std::string bytes;
        std::uint32_t attributes = 0;
        std::uint64_t writeTime = 0;
    };
    std::map<std::wstring, std::uint32_t> fail;  // lower-case path: the error reading or writing it gives
    static constexpr std::uint32_t kOutOfMemory = ~0u;  // a failure that is std::bad_alloc
    std::vector<std::wstring> log;                      // "create C:\x", "write C:\x"

    bool FileExists(Text path) override { return files_.count(Lower(path)) != 0; }
    std::uint32_t GetAttributes(Text path) override { return Get(path).attributes; }
    FileStamp Stamp(Text path) override { return {Get(path).bytes.size(), Get(path).writeTime}; }
    void CreateEmptyFile(Text path) override { Write(L"create ", path, ""); }
    std::string ReadAll(Text path) override { return Get(path, true).bytes; }
    // A failing file fails after its first piece.
    void ReadPieces(Text path, std::size_t size, const TakePiece& take) override {
        const std::string& bytes = Get(path).bytes;
        for (std::size_t at = 0; at < bytes.size(); at += size) {
            take(std::string_view(bytes).substr(at, size));
            Get(path, true);
        }
    }
    void WriteAll(Text path, const std::string& bytes) override { Write(L"write ", path, bytes); }

    void Put(Text path, const std::string& bytes, std::uint32_t attributes = 0, std::uint64_t time = 0) {
        files_[Lower(path)] = {bytes, attributes, time};
    }
    std::string Bytes(Text path) const { return files_.at(Lower(path)).bytes; }
    void Remove(Text path) { files_.erase(Lower(path)); }

  private:
    File& Get(Text path, bool failing = false) {
        if (failing && fail.count(Lower(path)) && fail.at(Lower(path)) == kOutOfMemory)
            throw std::bad_alloc();
        if (failing && fail.count(Lower(path)))
            throw PlatformError(L"failed", fail.at(Lower(path)));
        if (!FileExists(path))
            throw PlatformError(L"no file " + path, 2);
        return files_[Lower(path)];
    }
    void Write(const wchar_t* what, Text path, const std::string& bytes) {
        log.push_back(what + path);
        if (fail.count(Lower(path)))
            throw PlatformError(L"failed", fail.at(Lower(path)));
        files_[Lower(path)].bytes = bytes;
    }
    std::map<std::wstring, File> files_;
};

class FakeFileDialogs : public FileDialogService {
  public:
    struct Shown {
        bool save;
        FileDialogRequest request;
    };
    std::vector<Shown> shown;
    std::deque<std::wstring> answers;  // full paths taken in order; "" or none left answers "cancelled"
    bool fail = false;                 // the dialog cannot be shown

    FileDialogResult ShowOpen(const FileDialogRequest& request) override { return Answer(false, request); }
    FileDialogResult ShowSave(const FileDialogRequest& request) override { return Answer(true, request); }
    void Choose(Text path) { answers.push_back(path); }

  private:
    FileDialogResult Answer(bool save, const FileDialogRequest& request) {
        shown.push_back({save, request});
        if (fail)
            throw PlatformError(L"dialog failed", 0x3002);
        const std::wstring path = answers.empty() ? L"" : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return {path, path.empty() ? L"" : path.substr(path.find_last_of(L"\\/") + 1)};
    }
};

class FakeMessages : public MessageBoxes {
  public:
    struct Shown {
        std::wstring text;
        unsigned style;
        std::wstring title;
    };
    std::vector<Shown> shown;
    std::deque<int> answers;  // an empty queue answers OK (or No for Yes/No boxes)

    int Show(Text text, unsigned style, Text title) override {
        shown.push_back({text, style, title});
        const int no = (style & 0xF) == kMbYesNo ? kIdNo : kIdOk, a = answers.empty() ? no : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return a;
    }
};

class FakeProcesses : public Processes {
  public:
    std::vector<std::wstring> started;
    std::vector<unsigned> slept;
    std::map<std::wstring, std::wstring> shortPaths;  // by lower-case long path
    bool shortPathFails = false;                      // else paths without an entry come back unchanged
    bool failStart = false;
    std::function<void()> onStart;  // e.g. the script writes the output
    Ended watching;                 // the last watched process's end, to be called by the test

    void Start(Text path) override {
        started.push_back(path);
        if (failStart)
            throw PlatformError(L"cannot start", 2);
        if (onStart)
            onStart();
    }
    void StartAndWatch(Text path, Ended ended) override {
        Start(path);
        watching = std::move(ended);
    }
    void StartIn(Text program, Text arguments, Text folder) override {
        Start(program + L" " + arguments + L" in " + folder);
    }
    void Sleep(unsigned ms) override { slept.push_back(ms); }
    std::wstring ShortPath(Text path) override {
        auto s = shortPaths.find(Lower(path));
        return s != shortPaths.end() ? s->second : shortPathFails ? L"" : path;
    }
};

class FakeClipboard : public Clipboard {
  public:
    std::optional<std::wstring> text;
    void SetText(Text t) override { text = t; }
    std::wstring GetText() override { return text.value_or(L""); }
};

class FakeSystem : public SystemServices {
  public:
    unsigned caretBlink = 0;
    std::wstring commandLine, folder = L"C:\\Tools\\Korveline";
    std::map<std::wstring, std::wstring> environment{{L"windir", L"D:\\WINDOWS"}};

    void SetCaretBlinkTime(unsigned ms) override { caretBlink = ms; }
    std::wstring CommandLine() override { return commandLine; }
    std::wstring ProgramFolder() override { return folder; }
    std::wstring ProgramName() override { return L"korveline"; }
    std::wstring Environment(Text name) override { return environment[name]; }
    std::wstring ErrorText(std::uint32_t code) override { return L"Error " + std::to_wstring(code) + L"."; }
};

// Everything a test of the program's logic needs, wired together.
struct FakeProgram {
    FakeRegistry registry;
    FakeFileSystem files;
    FakeFileDialogs dialogs;
    FakeMessages messages;
    FakeProcesses processes;
    FakeClipboard clipboard;
    FakeSystem system;
    Platform platform{registry, files, dialogs, messages, processes, clipboard, system};
    RegShell regShell{registry};
    SharedSettings settings;
    UserSettings user{registry};
    ProgramContext context{platform, regShell, settings, user};
};
