#pragma once
// What the two stand-in tools share: the command line as given, the parts of
// the tools' "switches, then comma-separated file names" form, the log, the
// failure switch and small file helpers.
#include <windows.h>

#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

namespace standin {

// The command line after the program's own name and the one blank after it.
inline std::wstring CommandTail() {
    const wchar_t* p = GetCommandLineW();
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"')
            ++p;
        if (*p)
            ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t')
            ++p;
    }
    if (*p == L' ' || *p == L'\t')
        ++p;
    return p;
}

inline std::wstring Trim(const std::wstring& s) {
    const auto first = s.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return {};
    return s.substr(first, s.find_last_not_of(L" \t") - first + 1);
}

inline std::wstring Lower(std::wstring s) {
    for (auto& c : s)
        c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

struct CommandLine {
    std::vector<std::wstring> switches;  // without their leading "/" or "-", lower case
    std::vector<std::wstring> fields;    // the comma-separated file names, trimmed
};

// Leading words that start with "/" or "-" are switches ("/x/v" counts as
// two); the rest is split at the commas.
inline CommandLine ParseCommandLine(const std::wstring& tail) {
    CommandLine line;
    std::size_t i = 0;
    for (;;) {
        while (i < tail.size() && (tail[i] == L' ' || tail[i] == L'\t'))
            ++i;
        if (i >= tail.size() || (tail[i] != L'/' && tail[i] != L'-'))
            break;
        std::size_t end = tail.find_first_of(L" \t", i);
        if (end == std::wstring::npos)
            end = tail.size();
        const std::wstring word = tail.substr(i, end - i);
        std::size_t start = 0;
        while (start < word.size()) {
            std::size_t next = word.find_first_of(L"/-", start + 1);
            if (next == std::wstring::npos)
                next = word.size();
            if (next > start + 1)
                line.switches.push_back(Lower(word.substr(start + 1, next - start - 1)));
            start = next;
        }
        i = end;
    }
    const std::wstring rest = tail.substr(i);
    if (Trim(rest).empty())
        return line;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = rest.find(L',', start);
        line.fields.push_back(
            Trim(rest.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start)));
        if (comma == std::wstring::npos)
            break;
        start = comma + 1;
    }
    return line;
}

inline bool HasSwitch(const CommandLine& line, const std::wstring& name) {
    for (const auto& s : line.switches) {
        if (s == name)
            return true;
    }
    return false;
}

// The name with the extension added when its last component has none.
inline std::wstring WithDefaultExtension(const std::wstring& path, const std::wstring& extension) {
    const auto slash = path.find_last_of(L"\\/:");
    const auto dot = path.find_last_of(L'.');
    if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash))
        return path;
    return path + extension;
}

inline std::wstring WithoutExtension(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/:");
    const auto dot = path.find_last_of(L'.');
    if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash))
        return path.substr(0, dot);
    return path;
}

inline std::wstring FolderOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

inline std::string Utf8(const std::wstring& s) {
    if (s.empty())
        return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

inline std::wstring Environment(const wchar_t* name) {
    wchar_t buffer[1024];
    const DWORD n = GetEnvironmentVariableW(name, buffer, 1024);
    return (n == 0 || n >= 1024) ? std::wstring() : std::wstring(buffer, n);
}

inline bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f)
        return false;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, n);
    fclose(f);
    return true;
}

inline bool WriteFileBytes(const std::wstring& path, const std::string& bytes, const wchar_t* mode = L"wb") {
    FILE* f = _wfopen(path.c_str(), mode);
    if (!f)
        return false;
    const bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

// One line per run, "<tool> <command tail>" in UTF-8 with CR LF, appended to
// the file that STANDIN_LOG names, or else to standin.log in the folder of
// the tool's main output.
inline void Log(const wchar_t* tool, const std::wstring& tail, const std::wstring& outputPath) {
    std::wstring log = Environment(L"STANDIN_LOG");
    if (log.empty())
        log = FolderOf(outputPath) + L"standin.log";
    WriteFileBytes(log, Utf8(std::wstring(tool) + L" " + tail) + "\r\n", L"ab");
}

// STANDIN_FAIL holds the names of the tools that are to fail ("tasm",
// "tlink", or both).
inline bool ToldToFail(const wchar_t* tool) {
    return Lower(Environment(L"STANDIN_FAIL")).find(tool) != std::wstring::npos;
}

inline int Fail(const std::wstring& message) {
    std::fwprintf(stdout, L"Error: %ls\n", message.c_str());
    std::fflush(stdout);
    return 1;
}

}  // namespace standin
