// The assembler's messages read from its listing, and what a finished build
// shows: its rows, whether it is worth a window, and where a row's line is.
#include <gtest/gtest.h>

#include "compile/build_listing.h"
#include "compile/build_results.h"
#include "fakes.h"

namespace {

// "kind|file|line|text" of each message.
std::vector<std::wstring> Messages(const std::string& bytes, bool complete = true) {
    std::vector<std::wstring> out;
    for (const AssemblerMessage& m : ParseListing(bytes, complete).messages)
        out.push_back(std::wstring(m.kind == MessageKind::Error     ? L"E"
                                   : m.kind == MessageKind::Warning ? L"W"
                                                                    : L"F") +
                      L"|" + m.file + L"|" + std::to_wstring(m.line) + L"|" + m.text);
    return out;
}

TEST(BuildListing, ReadsTheAssemblersMessageLinesAndNothingElse) {
    const std::pair<std::string, std::wstring> cases[] = {
        {"**Error** C:\\WORK\\HELLO.ASM(12) Undefined symbol: FOO\r\n",
         L"E|C:\\WORK\\HELLO.ASM|12|Undefined symbol: FOO"},
        {"*Warning* C:\\MY WORK\\A.ASM(7) Needs type override",
         L"W|C:\\MY WORK\\A.ASM|7|Needs type override"},
        {"**Error** A.ASM(3) \x8E\xE8\xA8\xA1\xAA\xA0 (1)\r\n",
         L"E|A.ASM|3|\x041E\x0448\x0438\x0431\x043A\x0430 (1)"},
        {"**Fatal** Command line: Can't locate file: X(1) \r\n",
         L"F||0|Command line: Can't locate file: X(1)"},
        {"**Error** A.ASM(40) MYMAC(2) Undefined\n", L"E|A.ASM|40|MYMAC(2) Undefined"},
        {"**Error** C:\\V(2)A\\B(X)\\A.ASM(9) Bad\r\n",
         L"E|C:\\V(2)A\\B(X)\\A.ASM|9|Bad"},  // brackets in folders
        {"      5  0000  B8 0000s   mov ax, foo ; **Error** not here\r\n", L""},
        {"*Warnings* 1\r\n", L""},
        {"", L""},
    };
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(Messages(bytes), expected.empty() ? std::vector<std::wstring>{} : std::vector{expected})
            << bytes;
}

TEST(BuildListing, ALargeListingAndOneStillBeingWritten) {
    std::string listing;
    while (listing.size() < (2u << 20))
        listing +=
            "    123  0000  B8 4C00       mov ax, 4c00h  ; \xAA\xAE\xAC\xAC\xA5\xAD\xE2\xA0\xE0\xA8\xA9\r\n";
    listing += "**Error** A.ASM(1) first\r\n" + listing + "*Warning* A.ASM(2) second\r\n**Error** A.ASM(3";
    EXPECT_EQ(Messages(listing, false), (std::vector<std::wstring>{L"E|A.ASM|1|first", L"W|A.ASM|2|second"}));
    EXPECT_EQ(ParseListing(listing, false).consumed, listing.rfind('\n') + 1);
}

TEST(BuildResults, RowsForMessagesListingAndOutput) {
    const ScriptOutputs out{L"C:\\My Work\\hello.asm", L"C:\\MYWORK~1\\HELLO.ASM", L"C:\\MYWORK~1\\hello",
                            L"C:\\MYWORK~1\\hello.exe"};
    const std::uint64_t t = 500000000;  // the script's start; two seconds are 20,000,000
    const std::wstring noListing =
        L"Listing||The assembler wrote no listing (hello.LST), so its messages cannot be shown here.|0\n";
    struct Case {
        const char* listing;  // nullptr: none
        std::uint64_t listingTime, outputTime;
        int outputSize;  // -1: no output
        std::wstring rows;
    } cases[] = {
        {"**Error** C:\\MYWORK~1\\HELLO.ASM(4) bad\r\n*Warning* HELLO.ASM(9) odd\r\n**Error** DEFS.INC(5) "
         "x\r\n",
         t, 0, -1,
         L"Error|4|bad|4\nWarning|9|odd|9\nError|DEFS.INC(5)|x|0\nOutput||No output: hello.exe was not "
         L"written.|0\n!"},
        {nullptr, 0, t, 1234, noListing + L"Output||hello.exe written, 1,234 bytes|0\n!"},
        {"clean\r\n", t, t - 15000000, 20, L"Output||hello.exe written, 20 bytes|0\n"},  // not worth a window
        {"**Error** HELLO.ASM(1) old\r\n", t - 30000000, t - 30000000, 20,
         noListing + L"Output||No output: hello.exe is from an earlier build; this one wrote none.|0\n!"},
    };
    for (const Case& c : cases) {
        FakeFileSystem files;
        if (c.listing)
            files.Put(out.outBase + L".LST", c.listing, 0, c.listingTime);
        if (c.outputSize >= 0)
            files.Put(out.outputPath, std::string(static_cast<std::size_t>(c.outputSize), 'x'), 0,
                      c.outputTime);
        const BuildResults results = CollectBuildResults(out, t, files);
        std::wstring rows;  // a row a line; "!" when it is worth a window
        for (const ResultRow& r : results.rows)
            rows += r.kind + L"|" + r.where + L"|" + r.text + L"|" + std::to_wstring(r.line) + L"\n";
        EXPECT_EQ(rows + (results.worthShowing ? L"!" : L""), c.rows);
    }
}

TEST(BuildResults, AnAssemblerLineIsFoundInTheEditorsText) {
    const std::wstring text = L"one\r\ntwo\nthree\r\n";  // a lone LF ends a line for the assembler only
    const std::size_t spans[][2] = {{0, 3}, {5, 8}, {9, 14}, {16, 16}, {16, 16}};
    for (std::size_t line = 1; line <= 5; ++line) {
        EXPECT_EQ(AssemblerLineSpan(text, line).start, spans[line - 1][0]) << line;
        EXPECT_EQ(AssemblerLineSpan(text, line).end, spans[line - 1][1]) << line;
    }
}

}  // namespace
