// A stand-in for the assembler, for Korveline's build tests. It assembles
// nothing: it takes the assembler's command-line form
//     tasm [switches] source[, object[, listing]]
// (default extensions .asm, .obj and .lst), logs what it was given, and
// writes an object file the stand-in linker accepts and a listing.
// It fails, writing nothing, when STANDIN_FAIL names "tasm" or when a line of
// the source holds "; FAIL".
#include "standin_common.h"

using namespace standin;

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

    if (!WriteFileBytes(object, "STAND-IN OBJECT\r\nsource: " + Utf8(source) + "\r\n" + text))
        return Fail(L"cannot write " + object);

    const bool wantListing = line.fields.size() > 2 || HasSwitch(line, L"l");
    if (wantListing) {
        const std::wstring listing = line.fields.size() > 2 && !line.fields[2].empty()
                                         ? WithDefaultExtension(line.fields[2], L".lst")
                                         : WithoutExtension(source) + L".lst";
        std::string numbered = "Stand-in listing of " + Utf8(source) + "\r\n";
        int number = 0;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size() - 1;
            numbered += std::to_string(++number) + "\t" + text.substr(start, end + 1 - start);
            start = end + 1;
        }
        if (!WriteFileBytes(listing, numbered))
            return Fail(L"cannot write " + listing);
    }
    std::fwprintf(stdout, L"Wrote %ls\n", object.c_str());
    return 0;
}
