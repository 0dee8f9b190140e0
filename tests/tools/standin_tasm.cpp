// A stand-in for the assembler, for Korveline's build tests. It assembles
// nothing: it takes the assembler's command-line form
//     tasm [switches] source[, object[, listing]]
// (default extensions .asm, .obj and .lst), logs what it was given, and
// writes an object file the stand-in linker accepts and a listing.
// It fails, writing nothing, when STANDIN_FAIL names "tasm" or when a line of
// the source holds "; FAIL". Lines holding ";!error TEXT" or ";!warning TEXT"
// put the assembler's messages into the listing after their line; any error
// makes it fail without an object. A line holding ";!nolisting" keeps it from
// writing a listing.
#include <cstring>

#include "standin_common.h"

using namespace standin;

namespace {

// The source's name in the DOS code page, as the listing's bytes are.
std::string Dos(const std::wstring& s) {
    const int n =
        WideCharToMultiByte(866, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(866, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace

int wmain() {
    std::fwprintf(stdout, L"Stand-in assembler for Korveline's build tests; it assembles nothing.\n");
    const std::wstring tail = CommandTail();
    const CommandLine line = ParseCommandLine(tail);
    if (line.fields.empty() || line.fields[0].empty()) {
        Log(L"tasm", tail, L"");
        return Fail(L"no source file given");
    }
    const std::wstring source = WithDefaultExtension(line.fields[0], L".asm");
    const std::wstring object = line.fields.size() > 1 && !line.fields[1].empty()
                                    ? WithDefaultExtension(line.fields[1], L".obj")
                                    : WithoutExtension(source) + L".obj";
    Log(L"tasm", tail, object);

    std::string text;
    if (!ReadFileBytes(source, text))
        return Fail(L"cannot open the source " + source);
    if (ToldToFail(L"tasm") || text.find("; FAIL") != std::string::npos)
        return Fail(L"told to fail");

    // The listing first: an assembler with errors still lists them.
    const bool wantListing =
        (line.fields.size() > 2 || HasSwitch(line, L"l")) && text.find(";!nolisting") == std::string::npos;
    std::string numbered = "Stand-in listing of " + Utf8(source) + "\r\n";
    int number = 0, errors = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size() - 1;
        const std::string sourceLine = text.substr(start, end + 1 - start);
        numbered += std::to_string(++number) + "\t" + sourceLine;
        if (sourceLine.back() != '\n')
            numbered += "\r\n";
        // The marker's text, less one blank before it and the line's end.
        const auto mark = [&](const char* marker, const char* kind) {
            const std::size_t at = sourceLine.find(marker);
            if (at == std::string::npos)
                return false;
            std::string text = sourceLine.substr(at + std::strlen(marker));
            text.erase(0, text.rfind(' ', 0) == 0 ? 1 : 0);
            text.erase(text.find_last_not_of("\r\n") + 1);
            numbered +=
                kind + (" " + Dos(line.fields[0])) + "(" + std::to_string(number) + ") " + text + "\r\n";
            return true;
        };
        if (mark(";!error", "**Error**"))
            ++errors;
        else
            mark(";!warning", "*Warning*");
        start = end + 1;
    }
    if (wantListing) {
        const std::wstring listing = line.fields.size() > 2 && !line.fields[2].empty()
                                         ? WithDefaultExtension(line.fields[2], L".lst")
                                         : WithoutExtension(source) + L".lst";
        if (!WriteFileBytes(listing, numbered))
            return Fail(L"cannot write " + listing);
    }
    if (errors > 0)
        return Fail(std::to_wstring(errors) + L" error(s) in the source");

    if (!WriteFileBytes(object, "STAND-IN OBJECT\r\nsource: " + Utf8(source) + "\r\n" + text))
        return Fail(L"cannot write " + object);
    std::fwprintf(stdout, L"Wrote %ls\n", object.c_str());
    return 0;
}
