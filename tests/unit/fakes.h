#pragma once
// In-memory stand-ins for the platform services, for the unit tests. Each
// records what it was asked and can be told to fail the way Windows does.
#include <algorithm>
#include <cwctype>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/main_window.h"
#include "platform/platform.h"
#include "settings/settings_store.h"

inline std::wstring Lower(std::wstring s) {
    for (auto& c : s)
        c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

constexpr std::uint32_t kErrFileNotFound = 2;
constexpr std::uint32_t kErrAccessDenied = 5;
constexpr std::uint32_t kErrSharingViolation = 32;
constexpr std::uint32_t kErrDiskFull = 112;
constexpr std::uint32_t kErrPathNotFound = 3;

class FakeRegistry : public Registry {
  public:
    struct Named {
        std::wstring name;
        RegValue value;
    };
    using Values = std::map<std::wstring, Named>;  // by lower-case name

    std::set<RegRoot> refuseWrites;  // writes, creations and deletions under these roots fail
    bool refuseCreateKey = false;    // only key creation fails (values can still be written)
    std::vector<std::wstring> log;   // "write HKLM\Software\asm\tasm", "deletekey HKCR\.asm" ...

    RegValue ReadValue(RegRoot root, const std::wstring& key, const std::wstring& name) override {
        auto k = keys_.find({root, Lower(key)});
        if (k == keys_.end())
            throw PlatformError(L"no key " + key, kErrFileNotFound);
        auto v = k->second.find(Lower(name));
        if (v == k->second.end())
            throw PlatformError(L"no value " + name, kErrFileNotFound);
        return v->second.value;
    }
    void WriteString(RegRoot root,
                     const std::wstring& key,
                     const std::wstring& name,
                     const std::wstring& value) override {
        RegValue v;
        v.type = RegType::String;
        v.text = value;
        Put(root, key, name, v);
    }
    void WriteDword(RegRoot root,
                    const std::wstring& key,
                    const std::wstring& name,
                    std::uint32_t value) override {
        RegValue v;
        v.type = RegType::Dword;
        v.number = value;
        Put(root, key, name, v);
    }
    void DeleteValue(RegRoot root, const std::wstring& key, const std::wstring& name) override {
        Refuse(root, L"deletevalue", key + L"\\" + name);
        auto k = keys_.find({root, Lower(key)});
        if (k == keys_.end() || !k->second.erase(Lower(name)))
            throw PlatformError(L"no value", kErrFileNotFound);
    }
    void CreateKey(RegRoot root, const std::wstring& key) override {
        Refuse(root, L"createkey", key);
        if (refuseCreateKey)
            throw PlatformError(L"access denied", kErrAccessDenied);
        MakeKey(root, key);
    }
    void DeleteKey(RegRoot root, const std::wstring& key) override {
        Refuse(root, L"deletekey", key);
        const std::wstring lower = Lower(key);
        if (!keys_.count({root, lower}))
            throw PlatformError(L"no key", kErrFileNotFound);
        for (const auto& [id, values] : keys_) {
            if (id.first == root && id.second.rfind(lower + L"\\", 0) == 0)
                throw PlatformError(L"key has sub-keys", kErrAccessDenied);
        }
        keys_.erase({root, lower});
    }

    // Test set-up and inspection, without logging or refusal.
    void Set(RegRoot root, const std::wstring& key, const std::wstring& name, const RegValue& value) {
        MakeKey(root, key);
        keys_[{root, Lower(key)}][Lower(name)] = {name, value};
    }
    void SetString(RegRoot root,
                   const std::wstring& key,
                   const std::wstring& name,
                   const std::wstring& text) {
        RegValue v;
        v.type = RegType::String;
        v.text = text;
        Set(root, key, name, v);
    }
    void SetDword(RegRoot root, const std::wstring& key, const std::wstring& name, std::uint32_t number) {
        RegValue v;
        v.type = RegType::Dword;
        v.number = number;
        Set(root, key, name, v);
    }
    bool HasKey(RegRoot root, const std::wstring& key) const { return keys_.count({root, Lower(key)}) != 0; }
    bool HasValue(RegRoot root, const std::wstring& key, const std::wstring& name) const {
        auto k = keys_.find({root, Lower(key)});
        return k != keys_.end() && k->second.count(Lower(name));
    }
    const Values& ValuesOf(RegRoot root, const std::wstring& key) const {
        static const Values none;
        auto k = keys_.find({root, Lower(key)});
        return k == keys_.end() ? none : k->second;
    }
    std::size_t KeyCount() const { return keys_.size(); }

  private:
    void Refuse(RegRoot root, const std::wstring& what, const std::wstring& path) {
        log.push_back(what + L" " + RootName(root) + L"\\" + path);
        if (refuseWrites.count(root))
            throw PlatformError(L"access denied", kErrAccessDenied);
    }
    void Put(RegRoot root, const std::wstring& key, const std::wstring& name, const RegValue& value) {
        Refuse(root, L"write", key + L"\\" + name);
        Set(root, key, name, value);
    }
    void MakeKey(RegRoot root, const std::wstring& key) {
        std::wstring lower = Lower(key);
        for (std::size_t cut = 0; cut != std::wstring::npos;) {
            cut = lower.find(L'\\', cut + 1);
            keys_[{root, lower.substr(0, cut)}];
        }
    }
    static std::wstring RootName(RegRoot root) {
        switch (root) {
            case RegRoot::ClassesRoot:
                return L"HKCR";
            case RegRoot::LocalMachine:
                return L"HKLM";
            case RegRoot::CurrentUser:
                return L"HKCU";
            default:
                return L"HK?";
        }
    }
    std::map<std::pair<RegRoot, std::wstring>, Values> keys_;
};

class FakeFileSystem : public FileSystem {
  public:
    struct File {
        std::string bytes;
        std::uint32_t attributes = 0;
        std::uint64_t writeTime = 0;
    };
    std::set<std::wstring> missingFolders;  // lower-case folder paths (with trailing "\") that do not exist
    std::set<std::wstring> locked;          // lower-case paths held open by another program
    bool diskFull = false;
    std::vector<std::wstring> log;  // "create C:\x", "write C:\x", "read C:\x"

    bool FileExists(const std::wstring& path) override { return !path.empty() && files_.count(Lower(path)); }
    std::uint32_t GetAttributes(const std::wstring& path) override { return Get(path).attributes; }
    FileStamp Stamp(const std::wstring& path) override {
        const File& f = Get(path);
        return {f.bytes.size(), f.writeTime};
    }
    void CreateEmptyFile(const std::wstring& path) override {
        log.push_back(L"create " + path);
        CheckWritable(path);
        files_[Lower(path)].bytes.clear();
    }
    std::string ReadAll(const std::wstring& path) override {
        log.push_back(L"read " + path);
        if (locked.count(Lower(path)))
            throw PlatformError(L"locked", kErrSharingViolation);
        return Get(path).bytes;
    }
    void WriteAll(const std::wstring& path, const std::string& bytes) override {
        log.push_back(L"write " + path);
        CheckWritable(path);
        if (diskFull)
            throw PlatformError(L"disk full", kErrDiskFull);
        files_[Lower(path)].bytes = bytes;
    }

    void Put(const std::wstring& path, const std::string& bytes, std::uint32_t attributes = 0) {
        files_[Lower(path)] = {bytes, attributes};
    }
    void SetWriteTime(const std::wstring& path, std::uint64_t time) { Get(path).writeTime = time; }
    bool Has(const std::wstring& path) const { return files_.count(Lower(path)) != 0; }
    std::string Bytes(const std::wstring& path) const { return files_.at(Lower(path)).bytes; }
    void Remove(const std::wstring& path) { files_.erase(Lower(path)); }

  private:
    File& Get(const std::wstring& path) {
        auto f = files_.find(Lower(path));
        if (f == files_.end())
            throw PlatformError(L"no file " + path, kErrFileNotFound);
        return f->second;
    }
    void CheckWritable(const std::wstring& path) {
        const std::wstring lower = Lower(path);
        const std::wstring folder = lower.substr(0, lower.find_last_of(L"\\/") + 1);
        if (missingFolders.count(folder))
            throw PlatformError(L"no folder", kErrPathNotFound);
        if (locked.count(lower))
            throw PlatformError(L"locked", kErrSharingViolation);
        auto f = files_.find(lower);
        if (f != files_.end() && (f->second.attributes & kAttributeReadOnly))
            throw PlatformError(L"read-only", kErrAccessDenied);
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
    std::deque<FileDialogResult> answers;  // taken in order; an empty queue answers "cancelled"
    bool fail = false;                     // the dialog cannot be shown

    FileDialogResult ShowOpen(const FileDialogRequest& request) override { return Answer(false, request); }
    FileDialogResult ShowSave(const FileDialogRequest& request) override { return Answer(true, request); }

    // Queues the choice of a full path, its title taken from it.
    void Choose(const std::wstring& path) {
        answers.push_back({path, path.substr(path.find_last_of(L"\\/") + 1)});
    }
    void Cancel() { answers.push_back({}); }

  private:
    FileDialogResult Answer(bool save, const FileDialogRequest& request) {
        shown.push_back({save, request});
        if (fail)
            throw PlatformError(L"dialog failed", 0x3002);
        if (answers.empty())
            return {};
        FileDialogResult r = answers.front();
        answers.pop_front();
        return r;
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

    int Show(const std::wstring& text, unsigned style, const std::wstring& title) override {
        shown.push_back({text, style, title});
        if (answers.empty())
            return (style & 0xF) == kMbYesNo ? kIdNo : kIdOk;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
};

class FakeProcesses : public Processes {
  public:
    std::vector<std::wstring> started;
    std::vector<unsigned> slept;
    std::map<std::wstring, std::wstring> shortPaths;  // by lower-case long path; others fail (empty)
    bool shortPathIsIdentity = true;                  // paths without an entry come back unchanged
    bool failStart = false;
    std::function<void(const std::wstring&)> onStart;  // e.g. the script writes the output

    void Start(const std::wstring& path) override {
        started.push_back(path);
        if (failStart)
            throw PlatformError(L"cannot start", kErrFileNotFound);
        if (onStart)
            onStart(path);
    }
    std::vector<Ended> watching;  // a test ends a watched process by calling its entry
    void StartAndWatch(const std::wstring& path, Ended onEnded) override {
        Start(path);
        watching.push_back(std::move(onEnded));
    }
    void Sleep(unsigned ms) override { slept.push_back(ms); }
    std::wstring ShortPath(const std::wstring& path) override {
        auto s = shortPaths.find(Lower(path));
        if (s != shortPaths.end())
            return s->second;
        return shortPathIsIdentity ? path : std::wstring();
    }
};

class FakeClipboard : public Clipboard {
  public:
    std::wstring text;
    bool hasText = false;
    bool busy = false;  // held by another program for longer than the retry
    void SetText(const std::wstring& t) override {
        if (busy)
            throw PlatformError(L"clipboard busy", 1418);
        text = t;
        hasText = true;
    }
    std::wstring GetText() override {
        if (busy)
            throw PlatformError(L"clipboard busy", 1418);
        return hasText ? text : std::wstring();
    }
};

class FakeSystem : public SystemServices {
  public:
    unsigned caretBlink = 0;
    std::wstring commandLine;
    std::wstring folder = L"C:\\Tools\\Korveline";
    std::wstring name = L"korveline";
    std::map<std::wstring, std::wstring> environment{{L"windir", L"D:\\WINDOWS"}};

    void SetCaretBlinkTime(unsigned ms) override { caretBlink = ms; }
    std::wstring CommandLine() override { return commandLine; }
    std::wstring ProgramFolder() override { return folder; }
    std::wstring ProgramName() override { return name; }
    std::wstring Environment(const std::wstring& n) override {
        auto e = environment.find(n);
        return e == environment.end() ? std::wstring() : e->second;
    }
    std::wstring ErrorText(std::uint32_t code) override { return L"Error " + std::to_wstring(code) + L"."; }
};

// The main window as the logic sees it. Edits made "as the user would"
// (ReplaceSelection, Undo) notify onChange, as the edit control's change
// notification does; whole-text assignments do not.
class FakeMainView : public MainWindowView {
  public:
    std::wstring caption = L" asm";
    std::wstring text;
    std::size_t selStart = 0, selLength = 0;
    bool runEnabled = false;
    bool regChecked = false;
    int setTextCount = 0;
    std::function<void()> onChange;

    std::wstring Caption() const override { return caption; }
    void SetCaption(const std::wstring& c) override { caption = c; }
    std::wstring EditorText() const override { return text; }
    void SetEditorText(const std::wstring& t) override {
        text = t;
        ++setTextCount;
        selStart = selLength = 0;
        undoText_.reset();
    }
    std::size_t EditorTextLength() const override { return text.size(); }
    std::wstring SelectedText() const override { return text.substr(selStart, selLength); }
    void ReplaceSelection(const std::wstring& t) override {
        const std::wstring before = text;
        text.replace(selStart, selLength, t);
        selStart += t.size();
        selLength = 0;
        if (text != before) {
            undoText_ = before;
            if (onChange)
                onChange();
        }
    }
    void SetSelection(std::size_t start, std::size_t length) override {
        selStart = std::min(start, text.size());
        selLength = std::min(length, text.size() - selStart);
    }
    // One step of undo, as the platform's edit control has; a second Undo redoes.
    void Undo() override {
        if (!undoText_)
            return;
        std::wstring current = text;
        text = *undoText_;
        undoText_ = current;
        if (onChange)
            onChange();
    }
    void EmptyUndo() override { undoText_.reset(); }
    bool CanUndo() const { return undoText_.has_value(); }
    void SetRunEnabled(bool e) override { runEnabled = e; }
    bool RunEnabled() const override { return runEnabled; }
    void SetRegChecked(bool c) override { regChecked = c; }
    bool RegChecked() const override { return regChecked; }

  private:
    std::optional<std::wstring> undoText_;
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
    ProgramContext context{platform, regShell, settings};
};
