// A stand-in for the assembler (as standin_tasm.exe), the linker (as
// standin_tlink.exe) or the 32-bit debugger (as TD32.EXE) for Korveline's
// build tests, and under any other name the program the linker writes. It
// assembles, links and debugs nothing; docs/TESTING.md says what it
// takes, writes and logs, and how it is made to fail.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::wstring Trim(const std::wstring& s) {
    const auto first = s.find_first_not_of(L" \t");
    return first == std::wstring::npos ? L"" : s.substr(first, s.find_last_not_of(L" \t") - first + 1);
}

std::string Narrow(const std::wstring& s, UINT codePage) {
    std::string out(s.size() * 4, '\0');
    out.resize(WideCharToMultiByte(codePage, 0, s.data(), static_cast<int>(s.size()), out.data(),
                                   static_cast<int>(out.size()), nullptr, nullptr));
    return out;
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
    wchar_t buffer[MAX_PATH];
    const std::wstring self(buffer, GetModuleFileNameW(nullptr, buffer, MAX_PATH));
    const std::wstring name = self.substr(self.find_last_of(L'\\') + 1);
    const bool debugger = _wcsnicmp(name.c_str(), L"td", 2) == 0;
    if (!debugger && _wcsnicmp(name.c_str(), L"standin_", 8) != 0) {  // a program the linker wrote: it ran
        const std::wstring line = GetCommandLineW();
        const bool ran =
            Write(self + L".ran", std::string(reinterpret_cast<const char*>(line.data()), line.size() * 2));
        return ran ? 0 : 1;
    }
    // The command line after the program's own name and the one blank after it.
    const wchar_t* p = GetCommandLineW();
    const bool quoted = *p == L'"';
    for (p += quoted; *p && (quoted ? *p != L'"' : *p != L' ' && *p != L'\t'); ++p) {
    }
    p += quoted && *p;
    p += *p == L' ' || *p == L'\t';
    const std::wstring tail = p;
    if (debugger) {  // where it was started, and with what
        std::fwprintf(stdout, L"Stand-in debugger for Korveline's tests; it debugs nothing.\n");
        wchar_t folder[MAX_PATH] = L"";
        GetCurrentDirectoryW(MAX_PATH, folder);
        return Write(L"standin.log", Narrow(L"td32 " + tail + L" @ " + folder, CP_UTF8) + "\r\n", L"ab") ? 0
                                                                                                         : 1;
    }
    const bool linker = _wcsnicmp(name.c_str(), L"standin_tlink", 13) == 0;
    const wchar_t* tool = linker ? L"tlink" : L"tasm";
    std::fwprintf(stdout, linker
                              ? L"Stand-in linker for Korveline's build tests; it links nothing.\n"
                              : L"Stand-in assembler for Korveline's build tests; it assembles nothing.\n");

    // Leading words that start with "/" are switches; the rest is split at commas.
    bool com = false;
    std::size_t i = 0;
    while ((i = tail.find_first_not_of(L" \t", i)) != std::wstring::npos && tail[i] == L'/') {
        const std::size_t end = std::min(tail.find_first_of(L" \t", i), tail.size());
        const std::wstring word = tail.substr(i + 1, end - i - 1);
        com = com || _wcsicmp(word.c_str(), L"t") == 0;
        i = end;
    }
    const std::wstring rest = i == std::wstring::npos ? L"" : tail.substr(i);
    std::vector<std::wstring> fields;
    for (std::size_t start = 0; !Trim(rest).empty() && start <= rest.size();) {
        const std::size_t comma = std::min(rest.find(L',', start), rest.size());
        fields.push_back(Trim(rest.substr(start, comma - start)));
        start = comma + 1;
    }
    // Names as the build script gives them: the source with its extension, the files to make without.
    if (fields.size() < 2)
        return Fail(L"give the input and the output");
    const std::wstring input = fields[0] + (linker ? L".obj" : L"");
    const std::wstring output = fields[1] + (!linker ? L".obj" : com ? L".com" : L".exe");
    // One line per run, "<tool> <command tail>" in UTF-8 with CR LF, appended to
    // standin.log in the folder of the main output.
    Write(output.substr(0, output.find_last_of(L"\\/:") + 1) + L"standin.log",
          Narrow(std::wstring(tool) + L" " + tail, CP_UTF8) + "\r\n", L"ab");
    std::string text;
    if (!Read(input, text))
        return Fail(L"cannot open " + input);

    if (linker) {
        if (text.rfind("STAND-IN OBJECT", 0) != 0)
            return Fail(L"not a stand-in object: " + input);
        // Itself, written, not copied: a copy keeps the file's own time, and a
        // linker's program is as new as its run.
        std::string program;
        if (!Read(self, program) || !Write(output, program))
            return Fail(L"cannot write " + output);
        std::fwprintf(stdout, L"Wrote %ls\n", output.c_str());
        return 0;
    }
    // The listing: the source's lines, numbered, each ";!error TEXT" or
    // ";!warning TEXT" line followed by the assembler's message in its form,
    // the source named as given, in the DOS code page as the listing's bytes are.
    std::string listing = "Stand-in listing of " + Narrow(input, CP_UTF8) + "\r\n";
    const std::string source = Narrow(fields[0], 866);  // as given, in the DOS code page
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
            listing += std::string(kind) + " " + source + "(" + std::to_string(n) + ") " + message + "\r\n";
            errors += kind[1] == '*';
            break;
        }
        start = lineEnd + 1;
    }
    // An assembler with errors still lists them.
    if (fields.size() > 2 && !Write(fields[2] + L".lst", listing))
        return Fail(L"cannot write the listing");
    if (errors > 0)
        return Fail(std::to_wstring(errors) + L" error(s) in the source");
    if (!Write(output, "STAND-IN OBJECT\r\nsource: " + Narrow(input, CP_UTF8) + "\r\n" + text))
        return Fail(L"cannot write " + output);
    std::fwprintf(stdout, L"Wrote %ls\n", output.c_str());
    return 0;
}
