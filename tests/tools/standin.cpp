// A stand-in for the assembler (built as standin_tasm.exe) or, with
// STANDIN_TLINK defined, the linker (standin_tlink.exe), for Korveline's build
// tests. It assembles and links nothing; README.md beside it says what it
// takes, writes and logs, and how it is made to fail.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwctype>
#include <string>
#include <utility>
#include <vector>

namespace {

std::wstring Trim(const std::wstring& s) {
    const auto first = s.find_first_not_of(L" \t");
    return first == std::wstring::npos ? L"" : s.substr(first, s.find_last_not_of(L" \t") - first + 1);
}

std::wstring Lower(std::wstring s) {
    for (auto& c : s)
        c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

bool HasExtension(const std::wstring& path) {
    const auto dot = path.find_last_of(L'.');
    return dot != std::wstring::npos &&
           (path.find_last_of(L"\\/:") == std::wstring::npos || dot > path.find_last_of(L"\\/:"));
}
std::wstring WithExtension(const std::wstring& path, const wchar_t* extension) {
    return HasExtension(path) ? path : path + extension;
}
std::wstring Stem(const std::wstring& path) {
    return HasExtension(path) ? path.substr(0, path.find_last_of(L'.')) : path;
}
std::wstring FolderOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? L"" : path.substr(0, slash + 1);
}

std::string Utf8(const std::wstring& s) {
    std::string out(s.size() * 4, '\0');
    out.resize(WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(),
                                   static_cast<int>(out.size()), nullptr, nullptr));
    return out;
}

std::wstring Environment(const wchar_t* name) {
    wchar_t buffer[1024];
    const DWORD n = GetEnvironmentVariableW(name, buffer, 1024);
    return n >= 1024 ? L"" : std::wstring(buffer, n);
}

bool Read(const std::wstring& path, std::string& bytes) {
    FILE* f = _wfopen(path.c_str(), L"rb");
    for (int c; f && (c = std::fgetc(f)) != EOF;)
        bytes.push_back(static_cast<char>(c));
    return f && std::fclose(f) == 0;
}

bool Write(const std::wstring& path, const std::string& bytes, const wchar_t* mode = L"wb") {
    FILE* f = _wfopen(path.c_str(), mode);
    const bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return f && std::fclose(f) == 0 && ok;
}

int Fail(const std::wstring& why) {
    std::fwprintf(stderr, L"Error: %ls\n", why.c_str());
    return 1;
}

}  // namespace

int wmain() {
#ifdef STANDIN_TLINK
    const wchar_t* tool = L"tlink";
    std::fwprintf(stdout, L"Stand-in linker for Korveline's build tests; it links nothing.\n");
#else
    const wchar_t* tool = L"tasm";
    std::fwprintf(stdout, L"Stand-in assembler for Korveline's build tests; it assembles nothing.\n");
#endif
    // The command line after the program's own name and the one blank after it.
    const wchar_t* p = GetCommandLineW();
    const bool quoted = *p == L'"';
    for (p += quoted; *p && (quoted ? *p != L'"' : *p != L' ' && *p != L'\t'); ++p) {
    }
    p += quoted && *p;
    p += *p == L' ' || *p == L'\t';
    const std::wstring tail = p;

    // Leading words that start with "/" or "-" are switches ("/x/v" counts as two); the rest is split at
    // commas.
    std::vector<std::wstring> switches, fields;
    std::size_t i = 0;
    while ((i = tail.find_first_not_of(L" \t", i)) != std::wstring::npos &&
           (tail[i] == L'/' || tail[i] == L'-')) {
        const std::size_t wordEnd = std::min(tail.find_first_of(L" \t", i), tail.size());
        for (std::size_t s = i; s < wordEnd;) {
            const std::size_t next = std::min(tail.find_first_of(L"/-", s + 1), wordEnd);
            if (next > s + 1)
                switches.push_back(Lower(tail.substr(s + 1, next - s - 1)));
            s = next;
        }
        i = wordEnd;
    }
    const std::wstring rest = i == std::wstring::npos ? L"" : tail.substr(i);
    for (std::size_t start = 0; !Trim(rest).empty() && start <= rest.size();) {
        const std::size_t comma = std::min(rest.find(L',', start), rest.size());
        fields.push_back(Trim(rest.substr(start, comma - start)));
        start = comma + 1;
    }
    auto has = [&](const wchar_t* name) {
        for (const auto& s : switches)
            if (s == name)
                return true;
        return false;
    };
    auto field = [&](std::size_t n, const std::wstring& otherwise, const wchar_t* extension) {
        return fields.size() > n && !fields[n].empty() ? WithExtension(fields[n], extension) : otherwise;
    };

#ifdef STANDIN_TLINK
    std::vector<std::wstring> inputs;  // the objects, separated by blanks or "+"
    for (std::size_t s = 0, e; !fields.empty() && s < fields[0].size(); s = e + 1) {
        e = std::min(fields[0].find_first_of(L" \t+", s), fields[0].size());
        if (e > s)
            inputs.push_back(WithExtension(fields[0].substr(s, e - s), L".obj"));
    }
    const wchar_t* extension = has(L"t") || has(L"tdc") ? L".com" : L".exe";
    const std::wstring output = inputs.empty() ? L"" : field(1, Stem(inputs[0]) + extension, extension);
#else
    const std::wstring source = fields.empty() ? L"" : WithExtension(fields[0], L".asm");
    const std::wstring output = source.empty() ? L"" : field(1, Stem(source) + L".obj", L".obj");
#endif
    // One line per run, "<tool> <command tail>" in UTF-8 with CR LF, appended to the
    // file STANDIN_LOG names, or else to standin.log in the folder of the main output.
    const std::wstring log = Environment(L"STANDIN_LOG");
    Write(log.empty() ? FolderOf(output) + L"standin.log" : log,
          Utf8(std::wstring(tool) + L" " + tail) + "\r\n", L"ab");
    if (output.empty())
        return Fail(L"no input file given");
    const bool toldToFail = Lower(Environment(L"STANDIN_FAIL")).find(tool) != std::wstring::npos;

#ifdef STANDIN_TLINK
    if (toldToFail)
        return Fail(L"told to fail");
    for (const std::wstring& object : inputs) {
        std::string bytes;
        if (!Read(object, bytes) || bytes.rfind("STAND-IN OBJECT", 0) != 0)
            return Fail(L"not a stand-in object: " + object);
    }
    wchar_t self[MAX_PATH];
    const std::wstring folder = FolderOf(std::wstring(self, GetModuleFileNameW(nullptr, self, MAX_PATH)));
    // Written, not copied: a copy keeps the marker's own time, and a linker's
    // program is as new as its run.
    std::string marker;
    if (!Read(folder + L"marker_program.exe", marker) || !Write(output, marker))
        return Fail(L"cannot write " + output);
    if (!has(L"x"))
        Write(field(2, Stem(output) + L".map", L".map"), "Stand-in map of " + Utf8(output) + "\r\n");
#else
    std::string text;
    if (!Read(source, text))
        return Fail(L"cannot open the source " + source);
    if (toldToFail || text.find("; FAIL") != std::string::npos)
        return Fail(L"told to fail");
    // The listing: the source's lines, numbered, each ";!error TEXT" or
    // ";!warning TEXT" line followed by the assembler's message in its form,
    // the source named as given, in the DOS code page as the listing's bytes are.
    std::string listing = "Stand-in listing of " + Utf8(source) + "\r\n";
    std::string name(fields[0].size() * 2, '\0');
    name.resize(WideCharToMultiByte(866, 0, fields[0].data(), static_cast<int>(fields[0].size()), name.data(),
                                    static_cast<int>(name.size()), nullptr, nullptr));
    int errors = 0;
    for (std::size_t start = 0, n = 1; start < text.size(); ++n) {
        const std::size_t lineEnd = std::min(text.find('\n', start), text.size() - 1);
        const std::string line = text.substr(start, lineEnd + 1 - start);
        listing += std::to_string(n) + "\t" + line + (line.back() == '\n' ? "" : "\r\n");
        for (const auto& [marker, kind] : {std::pair{";!error", "**Error**"}, {";!warning", "*Warning*"}}) {
            const std::size_t at = line.find(marker);
            if (at == std::string::npos)
                continue;
            std::string message = line.substr(at + std::strlen(marker));
            message.erase(0, message.rfind(' ', 0) == 0 ? 1 : 0);
            message.erase(message.find_last_not_of("\r\n") + 1);
            listing += std::string(kind) + " " + name + "(" + std::to_string(n) + ") " + message + "\r\n";
            errors += kind[1] == '*';
            break;
        }
        start = lineEnd + 1;
    }
    // An assembler with errors still lists them; ";!nolisting" keeps it from listing at all.
    if ((fields.size() > 2 || has(L"l")) && text.find(";!nolisting") == std::string::npos &&
        !Write(field(2, Stem(source) + L".lst", L".lst"), listing))
        return Fail(L"cannot write the listing");
    if (errors > 0)
        return Fail(std::to_wstring(errors) + L" error(s) in the source");
    if (!Write(output, "STAND-IN OBJECT\r\nsource: " + Utf8(source) + "\r\n" + text))
        return Fail(L"cannot write " + output);
#endif
    std::fwprintf(stdout, L"Wrote %ls\n", output.c_str());
    return 0;
}
